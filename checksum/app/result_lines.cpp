#include "checksum/app/result_lines.h"

#include "platform/text.h"

namespace hashmere {

std::u16string resultLines(const RowResults& rows)
{
    std::u16string text;
    for (std::size_t row = 0; row < rows.checked.size(); ++row) {
        if (!rows.checked[row]) {
            continue;
        }
        const std::string_view label = engine::kAlgorithmRows[row].resultLabel;
        text.append(label.begin(), label.end());
        text += rows.results[row];
        text += u"\r\n";
    }
    return text;
}

std::u16string folderPart(std::u16string_view path)
{
    const std::size_t slash = path.rfind(u'/');
    return slash == std::u16string_view::npos ? std::u16string() : std::u16string(path.substr(0, slash + 1));
}

std::u16string withDefaultExtension(std::u16string_view path)
{
    const std::u16string_view name = path.substr(folderPart(path).size());
    const std::size_t dot = name.rfind(u'.');
    // A leading dot names a hidden file, not an extension.
    if (dot == std::u16string_view::npos || dot == 0) {
        return std::u16string(path) + u".txt";
    }
    return std::u16string(path);
}

std::u16string firstLineText(std::string_view bytes)
{
    const std::size_t end = bytes.find_first_of("\r\n");
    return platform::utf8ToUtf16(bytes.substr(0, end));
}

std::u16string webAddress(std::u16string_view address)
{
    if (address.find(u"://") != std::u16string_view::npos) {
        return std::u16string(address);
    }
    return u"https://" + std::u16string(address);
}

} // namespace hashmere

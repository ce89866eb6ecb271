#include "platform/shown_path.h"

#include <filesystem>
#include <system_error>

#include "platform/text.h"

namespace platform {

namespace fs = std::filesystem;

std::u16string findPathShownAs(std::u16string_view shown)
{
    constexpr char16_t kReplacement = 0xFFFD;
    if (shown.find(kReplacement) == std::u16string_view::npos) {
        return std::u16string(shown);
    }
    std::u16string found;
    std::size_t start = 0;
    while (start <= shown.size()) {
        std::size_t end = shown.find(u'/', start);
        if (end == std::u16string_view::npos) {
            end = shown.size();
        }
        const std::u16string_view component = shown.substr(start, end - start);
        if (component.find(kReplacement) == std::u16string_view::npos) {
            found += component;
        } else {
            const fs::path folder = pathFromUtf16(found.empty() ? u"." : found);
            std::u16string match;
            int matches = 0;
            std::error_code error;
            for (fs::directory_iterator it(folder, error), last; !error && it != last; it.increment(error)) {
                const std::u16string name = pathTextFromBytes(it->path().filename().native());
                if (displayPathText(name) == component) {
                    match = name;
                    ++matches;
                }
            }
            if (error || matches != 1) {
                return {};
            }
            found += match;
        }
        if (end == shown.size()) {
            break;
        }
        found += u'/';
        start = end + 1;
    }
    return found;
}

} // namespace platform

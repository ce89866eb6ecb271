#include "toolkit/file_filters.h"

#include "platform/ascii.h"

namespace toolkit {
namespace {

std::vector<std::u16string_view> split(std::u16string_view text, char16_t separator)
{
    std::vector<std::u16string_view> fields;
    std::size_t start = 0;
    for (;;) {
        std::size_t end = text.find(separator, start);
        if (end == std::u16string_view::npos) {
            fields.push_back(text.substr(start));
            return fields;
        }
        fields.push_back(text.substr(start, end - start));
        start = end + 1;
    }
}

} // namespace

std::vector<FileFilter> parseFilterList(std::u16string_view filters)
{
    std::vector<FileFilter> result;
    if (filters.empty()) {
        return result;
    }
    std::vector<std::u16string_view> fields = split(filters, u'|');
    for (std::size_t i = 0; i < fields.size(); i += 2) {
        FileFilter filter;
        filter.label = std::u16string(fields[i]);
        if (i + 1 < fields.size()) {
            for (std::u16string_view mask : split(fields[i + 1], u';')) {
                mask = platform::trimBlanks(mask);
                filter.masks.emplace_back(mask == u"*.*" ? std::u16string_view(u"*") : mask);
            }
        } else {
            filter.masks.emplace_back(u"*");
        }
        result.push_back(std::move(filter));
    }
    return result;
}

} // namespace toolkit

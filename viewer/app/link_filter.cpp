#include "viewer/app/link_filter.h"

#include "platform/ascii.h"

namespace leafscope {
namespace {

bool startsWithScheme(std::u16string_view text, std::string_view scheme)
{
    if (text.size() <= scheme.size()) {
        return false;
    }
    for (std::size_t i = 0; i < scheme.size(); ++i) {
        const char16_t c = text[i];
        if (c > 0x7F || platform::lowerAscii(static_cast<char>(c)) != scheme[i]) {
            return false;
        }
    }
    return true;
}

bool isHostCharacter(char16_t c)
{
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9') || c == u'-' || c == u'.';
}

// A host name of letters, digits, "-" and at least one inner dot, with an
// optional ":port" and "/path" after it: "www.orvanix.example/help".
bool isBareHost(std::u16string_view text)
{
    std::size_t end = 0;
    while (end < text.size() && isHostCharacter(text[end])) {
        ++end;
    }
    const std::u16string_view host = text.substr(0, end);
    if (host.empty() || host.front() == u'.' || host.back() == u'.' || host.front() == u'-' ||
        host.find(u'.') == std::u16string_view::npos || host.find(u"..") != std::u16string_view::npos) {
        return false;
    }
    return end == text.size() || text[end] == u'/' || text[end] == u':';
}

bool hasBlankOrControl(std::u16string_view text)
{
    for (char16_t c : text) {
        if (c <= 0x20 || c == 0x7F) {
            return true;
        }
    }
    return false;
}

} // namespace

std::u16string safeLinkAddress(std::u16string_view text)
{
    if (text.empty() || hasBlankOrControl(text)) {
        return {};
    }
    if (startsWithScheme(text, "http://") || startsWithScheme(text, "https://") || startsWithScheme(text, "mailto:")) {
        return std::u16string(text);
    }
    if (isBareHost(text)) {
        return u"https://" + std::u16string(text);
    }
    return {};
}

} // namespace leafscope

#include "viewer/app/link_filter.h"

#include <QChar>

#include "platform/ascii.h"
#include "viewer/app/title_index.h"

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

// Blanks of any kind, control characters and invisible format characters
// (direction overrides, zero-width joiners) may hide what an address is.
bool hasHiddenOrBlank(std::u16string_view text)
{
    for (char16_t c : text) {
        if (c <= 0x20 || c == 0x7F) {
            return true;
        }
        if (c < 0x80 || QChar::isSurrogate(c)) {
            continue;
        }
        switch (QChar::category(static_cast<char32_t>(c))) {
        case QChar::Other_Control:
        case QChar::Other_Format:
        case QChar::Separator_Space:
        case QChar::Separator_Line:
        case QChar::Separator_Paragraph:
            return true;
        default:
            break;
        }
    }
    return false;
}

int hexValue(char16_t c)
{
    if (c >= u'0' && c <= u'9') {
        return c - u'0';
    }
    if (c >= u'a' && c <= u'f') {
        return c - u'a' + 10;
    }
    if (c >= u'A' && c <= u'F') {
        return c - u'A' + 10;
    }
    return -1;
}

// A field name of a "mailto:" address, percent escapes resolved, in lower case.
std::string mailFieldName(std::u16string_view name)
{
    std::string decoded;
    for (std::size_t i = 0; i < name.size(); ++i) {
        char16_t c = name[i];
        if (c == u'%' && i + 2 < name.size() && hexValue(name[i + 1]) >= 0 && hexValue(name[i + 2]) >= 0) {
            c = static_cast<char16_t>(hexValue(name[i + 1]) * 16 + hexValue(name[i + 2]));
            i += 2;
        }
        if (c > 0x7F) {
            return {};
        }
        decoded.push_back(platform::lowerAscii(static_cast<char>(c)));
    }
    return decoded;
}

// Mail programs honour more fields than a help page needs ("attach" adds a
// local file to the message): only the addressees, the subject, the body and
// copies are kept.
std::u16string filteredMailAddress(std::u16string_view text)
{
    const std::size_t question = text.find(u'?');
    std::u16string kept(text.substr(0, question));
    if (kept.size() <= std::string_view("mailto:").size()) {
        return {};
    }
    if (question == std::u16string_view::npos) {
        return kept;
    }
    std::u16string_view fields = text.substr(question + 1);
    char16_t separator = u'?';
    while (!fields.empty()) {
        const std::size_t end = fields.find(u'&');
        const std::u16string_view field = fields.substr(0, end);
        const std::string name = mailFieldName(field.substr(0, field.find(u'=')));
        if (name == "subject" || name == "body" || name == "cc") {
            kept.push_back(separator);
            kept += field;
            separator = u'&';
        }
        fields = end == std::u16string_view::npos ? std::u16string_view() : fields.substr(end + 1);
    }
    return kept;
}

} // namespace

std::u16string safeLinkAddress(std::u16string_view text, LinkSource source)
{
    if (text.empty() || hasHiddenOrBlank(text)) {
        return {};
    }
    if (startsWithScheme(text, "http://") || startsWithScheme(text, "https://")) {
        return std::u16string(text);
    }
    if (startsWithScheme(text, "mailto:")) {
        return filteredMailAddress(text);
    }
    if (source == LinkSource::Website && isBareHost(text)) {
        return u"https://" + std::u16string(text);
    }
    return {};
}

PageLinkAction pageLinkAction(const document::ContentsList& contents, std::u16string_view target)
{
    PageLinkAction action;
    if (!target.empty() && target.front() == u'#') {
        action.page = findLinkedPage(contents, target.substr(1));
    } else {
        action.address = safeLinkAddress(target, LinkSource::Page);
    }
    return action;
}

bool pageLinkActs(const document::ContentsList& contents, std::u16string_view target)
{
    const PageLinkAction action = pageLinkAction(contents, target);
    return action.page >= 0 || !action.address.empty();
}

} // namespace leafscope

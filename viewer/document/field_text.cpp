#include "viewer/document/field_text.h"

namespace document {

std::u16string fieldTextFromBuffer(const std::uint8_t* buffer, std::size_t size)
{
    std::u16string text;
    if (buffer == nullptr)
        return text;
    std::size_t units = 0;
    while (units < size / 2 && (buffer[2 * units] != 0 || buffer[2 * units + 1] != 0))
        ++units;
    text.resize(units);
    for (std::size_t i = 0; i < units; ++i)
        text[i] = static_cast<char16_t>(buffer[2 * i] | (buffer[2 * i + 1] << 8));
    return text;
}

std::vector<std::u16string_view> splitFields(std::u16string_view text)
{
    std::vector<std::u16string_view> fields;
    FieldCursor cursor{text};
    std::u16string_view field;
    while (nextField(cursor, field))
        fields.push_back(field);
    return fields;
}

bool nextField(FieldCursor& cursor, std::u16string_view& field)
{
    if (cursor.done)
        return false;
    const std::size_t bar = cursor.text.find(u'|', cursor.start);
    if (bar == std::u16string_view::npos) {
        field = cursor.text.substr(cursor.start);
        cursor.done = true;
    } else {
        field = cursor.text.substr(cursor.start, bar - cursor.start);
        cursor.start = bar + 1;
    }
    return true;
}

std::u16string fieldAt(std::u16string_view text, std::int64_t k)
{
    if (k < 1)
        return {};
    std::size_t start = 0;
    for (std::int64_t field = 1; field < k; ++field) {
        const std::size_t bar = text.find(u'|', start);
        if (bar == std::u16string_view::npos)
            return {};
        start = bar + 1;
    }
    return std::u16string(text.substr(start, text.find(u'|', start) - start));
}

std::int64_t parseNumber(std::u16string_view text)
{
    std::size_t i = 0;
    while (i < text.size() && (text[i] == u' ' || text[i] == u'\t'))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == u'-' || text[i] == u'+')) {
        negative = text[i] == u'-';
        ++i;
    }
    unsigned base = 10;
    if (i < text.size() && text[i] == u'$') {
        base = 16;
        ++i;
    } else if (i < text.size() && text[i] == u'%') {
        base = 2;
        ++i;
    }
    // Unsigned arithmetic gives the two's complement wrap without overflow.
    std::uint64_t value = 0;
    for (; i < text.size(); ++i) {
        const char16_t c = text[i];
        unsigned digit = 0;
        if (c >= u'0' && c <= u'9')
            digit = c - u'0';
        else if (c >= u'a' && c <= u'f')
            digit = c - u'a' + 10;
        else if (c >= u'A' && c <= u'F')
            digit = c - u'A' + 10;
        else
            break;
        if (digit >= base)
            break;
        value = value * base + digit;
    }
    if (negative)
        value = 0 - value;
    return static_cast<std::int64_t>(value);
}

} // namespace document

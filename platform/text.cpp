#include "platform/text.h"

#include <cstdint>

namespace platform {
namespace {

constexpr char16_t kReplacement = 0xFFFD;
// A byte B of a path that is not part of valid UTF-8 travels as U+DC00 + B.
constexpr char16_t kEscapeBase = 0xDC00;

bool isHighSurrogate(char16_t unit)
{
    return unit >= 0xD800 && unit <= 0xDBFF;
}

bool isLowSurrogate(char16_t unit)
{
    return unit >= 0xDC00 && unit <= 0xDFFF;
}

void appendCodePoint(std::u16string& out, char32_t c)
{
    if (c < 0x10000) {
        out.push_back(static_cast<char16_t>(c));
    } else {
        c -= 0x10000;
        out.push_back(static_cast<char16_t>(0xD800 + (c >> 10)));
        out.push_back(static_cast<char16_t>(0xDC00 + (c & 0x3FF)));
    }
}

void appendUtf8(std::string& out, char32_t c)
{
    if (c < 0x80) {
        out.push_back(static_cast<char>(c));
    } else if (c < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (c >> 6)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (c >> 12)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (c >> 18)));
        out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
}

bool isContinuation(std::uint8_t b)
{
    return (b & 0xC0) == 0x80;
}

// Decodes one well-formed sequence at `bytes[i]`; returns its length, or 0
// when the bytes there are not one.
std::size_t decodeUtf8(std::string_view bytes, std::size_t i, char32_t& c)
{
    const auto at = [&](std::size_t k) { return static_cast<std::uint8_t>(bytes[i + k]); };
    const std::size_t left = bytes.size() - i;
    const std::uint8_t b0 = at(0);
    if (b0 < 0x80) {
        c = b0;
        return 1;
    }
    std::size_t length;
    char32_t minimum;
    if (b0 >= 0xC2 && b0 <= 0xDF) {
        length = 2, minimum = 0x80, c = b0 & 0x1F;
    } else if (b0 >= 0xE0 && b0 <= 0xEF) {
        length = 3, minimum = 0x800, c = b0 & 0x0F;
    } else if (b0 >= 0xF0 && b0 <= 0xF4) {
        length = 4, minimum = 0x10000, c = b0 & 0x07;
    } else {
        return 0;
    }
    if (left < length)
        return 0;
    for (std::size_t k = 1; k < length; ++k) {
        if (!isContinuation(at(k)))
            return 0;
        c = (c << 6) | (at(k) & 0x3F);
    }
    if (c < minimum || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF))
        return 0;
    return length;
}

// UTF-16 of UTF-8 `bytes`; each byte that does not start a well-formed
// sequence becomes invalidByte(byte) and decoding goes on with the next byte.
template <class InvalidByte> std::u16string decodeUtf8Text(std::string_view bytes, InvalidByte invalidByte)
{
    std::u16string out;
    out.reserve(bytes.size());
    std::size_t i = 0;
    while (i < bytes.size()) {
        char32_t c = 0;
        const std::size_t length = decodeUtf8(bytes, i, c);
        if (length == 0) {
            out.push_back(invalidByte(static_cast<std::uint8_t>(bytes[i])));
            ++i;
        } else {
            appendCodePoint(out, c);
            i += length;
        }
    }
    return out;
}

// UTF-8 of `text`; a surrogate that is not half of a pair is handed to
// unpaired(out, unit), which appends what stands for it.
template <class Unpaired> std::string encodeUtf8Text(std::u16string_view text, Unpaired unpaired)
{
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t unit = text[i];
        if (isHighSurrogate(unit) && i + 1 < text.size() && isLowSurrogate(text[i + 1])) {
            appendUtf8(out, 0x10000 + ((static_cast<char32_t>(unit) - 0xD800) << 10) + (text[i + 1] - 0xDC00));
            ++i;
        } else if (isHighSurrogate(unit) || isLowSurrogate(unit)) {
            unpaired(out, unit);
        } else {
            appendUtf8(out, unit);
        }
    }
    return out;
}

} // namespace

std::u16string utf8ToUtf16(std::string_view bytes)
{
    return decodeUtf8Text(bytes, [](std::uint8_t) { return kReplacement; });
}

std::string utf16ToUtf8(std::u16string_view text)
{
    return encodeUtf8Text(text, [](std::string& out, char16_t) { appendUtf8(out, kReplacement); });
}

std::u16string latin1ToUtf16(std::string_view bytes)
{
    std::u16string out(bytes.size(), u'\0');
    for (std::size_t i = 0; i < bytes.size(); ++i)
        out[i] = static_cast<std::uint8_t>(bytes[i]);
    return out;
}

std::string latin1ToUtf8(std::string_view bytes)
{
    std::string out;
    out.reserve(bytes.size());
    for (const char b : bytes)
        appendUtf8(out, static_cast<std::uint8_t>(b));
    return out;
}

std::u16string pathTextFromBytes(std::string_view bytes)
{
    return decodeUtf8Text(bytes, [](std::uint8_t byte) { return static_cast<char16_t>(kEscapeBase + byte); });
}

std::string pathTextToBytes(std::u16string_view text)
{
    return encodeUtf8Text(text, [](std::string& out, char16_t unit) {
        if (unit >= kEscapeBase + 0x80 && unit <= kEscapeBase + 0xFF)
            out.push_back(static_cast<char>(unit - kEscapeBase));
        else
            appendUtf8(out, kReplacement);
    });
}

std::filesystem::path pathFromUtf16(std::u16string_view text)
{
    return std::filesystem::path(pathTextToBytes(text));
}

std::u16string pathToUtf16(const std::filesystem::path& path)
{
    return pathTextFromBytes(path.native());
}

std::u16string displayPathText(std::u16string_view text)
{
    std::u16string out(text);
    for (std::size_t i = 0; i < out.size(); ++i) {
        if (isHighSurrogate(out[i]) && i + 1 < out.size() && isLowSurrogate(out[i + 1])) {
            ++i;
        } else if (isHighSurrogate(out[i]) || isLowSurrogate(out[i])) {
            out[i] = kReplacement;
        }
    }
    return out;
}

} // namespace platform

#pragma once
// ASCII-only text helpers for the keys, names and fields of our own file
// formats. Only 'A'-'Z' fold and only space and tab count as blanks: these
// never depend on the locale, and other characters pass through untouched.

#include <string>
#include <string_view>

namespace platform {

constexpr bool isAsciiBlank(char32_t c)
{
    return c == U' ' || c == U'\t';
}

constexpr char lowerAscii(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

// `text` with 'A'-'Z' lowered.
std::string lowerAscii(std::string_view text);

// True when `a` and `b` are equal once 'A'-'Z' are lowered.
bool equalsIgnoringAsciiCase(std::string_view a, std::string_view b);

// `text` without leading, trailing, or both kinds of blanks. The views point
// into `text`.
std::string_view trimBlanksStart(std::string_view text);
std::string_view trimBlanksEnd(std::string_view text);
std::string_view trimBlanks(std::string_view text);
std::u16string_view trimBlanks(std::u16string_view text);

} // namespace platform

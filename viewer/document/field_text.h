#pragma once
// Field text: the form of a help document's data entries.
//
// The entry's bytes are UTF-16LE; the text runs to the first 16-bit unit that is
// 0 or to the end of the buffer. Fields are separated by "|" with no escaping,
// quoting or trimming:
//
//     Hashmere|1.0|Hashmere Help||en_GB       field 4 is empty, field 5 "en_GB"
//
// A leading U+FEFF is an ordinary character of field 1; carriage returns, line
// feeds and blanks are ordinary characters of the field they stand in.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace document {

// The field text held in `size` bytes of `buffer`: UTF-16LE units up to the
// first 0 unit or the end of the buffer (an odd last byte is not a unit).
std::u16string fieldTextFromBuffer(const std::uint8_t* buffer, std::size_t size);

// Every field of `text` in order; views into `text`, valid while it lives.
// A text without separators has one field; the empty text has one empty field.
std::vector<std::u16string_view> splitFields(std::u16string_view text);

// Walks the fields of a text one at a time, for texts too long to split whole.
struct FieldCursor {
    std::u16string_view text;
    std::size_t start = 0;
    bool done = false;
};

// The next field of the cursor's text; false once the last field was given.
bool nextField(FieldCursor& cursor, std::u16string_view& field);

// Field k (counted from 1) of `text`; the empty text for k below 1 or beyond the
// last field.
std::u16string fieldAt(std::u16string_view text, std::int64_t k);

// A number in a field: leading blanks and tabs (only those) skipped, an optional
// "-" or "+", then "$" and hex digits, "%" and binary digits, or decimal digits,
// up to the first other character. Accumulates in 64-bit two's complement,
// wrapping on overflow; no digits give 0.
std::int64_t parseNumber(std::u16string_view text);

} // namespace document

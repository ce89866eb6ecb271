#pragma once
// A page's words without layout, for searching: the RTF reader's document as
// plain UTF-16 text (paragraph and cell ends as line feeds, pictures U+FFFC).

#include <cstdint>
#include <span>
#include <string>

namespace rtf {

struct PlainText {
    std::u16string text;
    bool complete = false; // as readRtf: false for damaged bytes (text holds what was recovered)
};

PlainText rtfPlainText(std::span<const std::uint8_t> bytes);

} // namespace rtf

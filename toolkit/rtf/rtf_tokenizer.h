#pragma once
// Splits RTF bytes into tokens. No allocation; every token refers into the input.
//
//   {\rtf1\ansi{\fonttbl{\f0 Arial;}}\f0\fs24 Caf\'e9 \u8364? {\b bold}\par}
//   -> GroupOpen, Word "rtf" 1, Word "ansi", GroupOpen, Word "fonttbl", ... Text "Caf",
//      HexByte 0xE9, Word "u" 8364, Text "?", GroupOpen, Word "b", Text "bold", GroupClose, ...
//
// Error recovery: a control word longer than kMaxControlWordLength letters comes out with an
// empty name (the caller ignores it); "\'" without two hex digits is dropped and what follows is
// read as text; parameters saturate at the 32-bit limits; "\binN" whose N runs past the end of
// the input comes out as BadBinary and consumes nothing, so the caller can abandon the group.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

namespace rtf {

inline constexpr std::size_t kMaxControlWordLength = 32;

enum class TokenKind : std::uint8_t {
    End,           // no more input
    GroupOpen,     // {
    GroupClose,    // }
    ControlWord,   // \name or \nameN; `word`, `hasParam`, `param`
    ControlSymbol, // \ and one non-letter, e.g. \~ \* \{ ; the character in `param`
    HexByte,       // \'hh; the byte in `param`
    Text,          // run of plain bytes (no braces, backslashes, CR, LF, NUL or tab) in `bytes`
    Binary,        // data of \binN; `bytes` holds exactly N bytes
    BadBinary,     // \binN with N beyond the end of the input; nothing consumed
};

struct Token {
    TokenKind kind = TokenKind::End;
    std::string_view word;
    bool hasParam = false;
    std::int32_t param = 0;
    std::span<const std::uint8_t> bytes;
};

struct TokenizerState {
    std::span<const std::uint8_t> input;
    std::size_t position = 0;
};

// Next token; End (repeatedly) once the input is used up. A tab byte comes out as the
// control word "tab", a backslash before CR or LF as the control word "par".
Token nextToken(TokenizerState& state);

// The value of a hexadecimal digit in either case, or -1.
int hexValue(std::uint8_t c);

} // namespace rtf

#pragma once
// Byte-to-Unicode decoding for the Windows code pages RTF text is written in.

#include <array>
#include <cstdint>
#include <map>
#include <span>

#include <QString>

namespace rtf {

inline constexpr int kDefaultCodePage = 1252;
// Pseudo code pages for the symbol fonts, whose bytes name glyphs rather than letters.
inline constexpr int kSymbolCodePage = 42;
inline constexpr int kWingdingsCodePage = 43;
inline constexpr int kUtf8CodePage = 65001;

// Code page of a font's \fcharsetN. Charsets that defer to the document (1, "default") and
// unknown ones yield `documentCodePage`.
int codePageForCharset(int charset, int documentCodePage);

// True for the code pages whose characters may take two bytes (932, 936, 949, 950, 1361, UTF-8):
// their bytes must be decoded as one run, never byte by byte.
bool isMultiByteCodePage(int codePage);

// Caches one converter per code page used. Not copyable; release happens in the destructor.
struct CodePageDecoder {
    struct Converter {
        bool multiByte = false;
        void* iconvHandle = nullptr;      // multi-byte pages only
        std::array<char16_t, 128> high{}; // single-byte pages: bytes 0x80..0xFF
    };
    std::map<int, Converter> converters;

    CodePageDecoder() = default;
    CodePageDecoder(const CodePageDecoder&) = delete;
    CodePageDecoder& operator=(const CodePageDecoder&) = delete;
    ~CodePageDecoder();
};

// Appends the text of `bytes`, written in `codePage`, to `out`. A code page that this system
// cannot convert is read as 1252. Each invalid or incomplete sequence becomes one U+FFFD.
void decodeBytes(CodePageDecoder& decoder, int codePage, std::span<const std::uint8_t> bytes, QString& out);

// The character that byte `byte` (0x20..0xFF) of a symbol font shows, or 0 if it has none.
char16_t symbolFontCharacter(int codePage, std::uint8_t byte);

} // namespace rtf

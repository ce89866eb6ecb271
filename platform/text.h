#pragma once
// Text conversions between the in-memory form (UTF-16) and the byte forms
// found in files and file names (UTF-8, ISO 8859-1).

#include <filesystem>
#include <string>
#include <string_view>

namespace platform {

// UTF-16 of UTF-8 `bytes`. Never fails: each byte that does not start a
// well-formed sequence (truncated, overlong, surrogate or above U+10FFFF)
// becomes U+FFFD and decoding goes on with the next byte.
std::u16string utf8ToUtf16(std::string_view bytes);

// UTF-8 of `text`. Never fails: an unpaired surrogate becomes U+FFFD.
std::string utf16ToUtf8(std::u16string_view text);

// UTF-16 of ISO 8859-1 `bytes`: every byte is the code point of the same value.
std::u16string latin1ToUtf16(std::string_view bytes);

// UTF-8 of ISO 8859-1 `bytes`: bytes 0x80 and above become two-byte sequences.
std::string latin1ToUtf8(std::string_view bytes);

// A file-system path from UTF-16 text (stored as its UTF-8 bytes), and back.
// A name whose bytes are not UTF-8 comes back with U+FFFD in their place.
std::filesystem::path pathFromUtf16(std::u16string_view text);
std::u16string pathToUtf16(const std::filesystem::path& path);

} // namespace platform

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

// File names are bytes and need not be UTF-8. Paths travel as UTF-16 without
// loss: valid UTF-8 is decoded, and every other byte B (0x80 to 0xFF) becomes
// the lone surrogate U+DC00 + B. Back to bytes, such a surrogate becomes its
// byte again; any other unpaired surrogate becomes U+FFFD (as UTF-8). So
// bytes -> text -> bytes gives back exactly the same bytes.
std::u16string pathTextFromBytes(std::string_view bytes);
std::string pathTextToBytes(std::u16string_view text);

// A file-system path from such text, and back.
std::filesystem::path pathFromUtf16(std::u16string_view text);
std::u16string pathToUtf16(const std::filesystem::path& path);

// Path text as it is shown: every unpaired surrogate (a byte that was not
// UTF-8) as U+FFFD.
std::u16string displayPathText(std::u16string_view text);

} // namespace platform

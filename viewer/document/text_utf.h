#pragma once
// UTF-8 <-> UTF-16 conversion for entry names and field texts.

#include <string>
#include <string_view>

namespace helpdoc {

// UTF-16 to UTF-8. An unpaired surrogate becomes U+FFFD, so every input has a
// well-formed result.
std::string utf16ToUtf8(std::u16string_view text);

// UTF-8 to UTF-16. A malformed or overlong sequence, a surrogate code point or a
// value above U+10FFFF becomes one U+FFFD per offending byte.
std::u16string utf8ToUtf16(std::string_view text);

} // namespace helpdoc

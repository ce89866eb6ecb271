#pragma once
// Which addresses from a help document may be handed to the desktop's default
// handler. The text comes from the document, so only web and mail addresses
// pass: a crafted document must not make one click open a local file, a
// script or a launcher.

#include <string>
#include <string_view>

namespace leafscope {

// The address to open for `text`: an "http:", "https:" or "mailto:" address
// (scheme in any letter case) as it stands, a bare host name such as
// "www.orvanix.example" or "orvanix.example/help" as "https://" + text; the
// empty text for anything else (empty, "file:", "javascript:", a path, text
// with blanks or control characters).
std::u16string safeLinkAddress(std::u16string_view text);

} // namespace leafscope

#pragma once
// Finding the file behind a path that was shown, not kept: toolkits that hold
// file names as UTF-16 (Qt's file dialog) hand back names whose bytes were not
// UTF-8 with U+FFFD in their place, and such a path names no file.

#include <string>
#include <string_view>

namespace platform {

// `shown` with every component that holds U+FFFD replaced by the one entry of
// its folder whose displayed name (displayPathText) is that component, as path
// text (pathTextFromBytes). `shown` itself when it holds no U+FFFD; the empty
// text when a folder cannot be read or holds no such entry or more than one.
std::u16string findPathShownAs(std::u16string_view shown);

} // namespace platform

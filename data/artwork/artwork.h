#pragma once
// The programs' images, embedded at build time from data/artwork/png/ (library
// hashmere_artwork or leafscope_artwork). Names are the PNG file names, e.g.
// "logo.png", "menu-open.png", "icon-32.png"; nullptr for an unknown name.

#include <string_view>

#include "toolkit/embedded.h"

namespace artwork {

const toolkit::EmbeddedFile* hashmereFile(std::string_view name);
const toolkit::EmbeddedFile* leafscopeFile(std::string_view name);

} // namespace artwork

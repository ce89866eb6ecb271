#pragma once
// Hashmere's fonts and images, loaded once at start-up.

namespace hashmere {

// Loads the program's four fonts under their numbers (app_ids.h). False when
// one of them could not be created.
bool loadFonts();

// Decodes every image of the program and the application icon from the PNG data
// embedded in the executable, and makes the icon the one every window shows.
// False when one of them could not be decoded (that image is then absent).
bool decodeImages();

} // namespace hashmere

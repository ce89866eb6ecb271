#pragma once
// Hashmere's fonts and images (start-up step 5 of Part 1.1).

namespace app {

// Loads the four fonts of Part 1.1 under their numbers (app_ids.h). False when
// one of them could not be created.
bool loadFonts();

// Decodes every image of Part 1.1 and the application icon from the PNG data
// embedded in the executable, and makes the icon the one every window shows.
// False when one of them could not be decoded (that image is then absent).
bool decodeImages();

} // namespace app

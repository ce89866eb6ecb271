#pragma once
// Leafscope's fonts and images, loaded once at start-up.

namespace leafscope {

// Loads the program's four fonts under their numbers (leafscope_ids.h). False
// when one of them could not be created.
bool loadFonts();

// Decodes the logo, the eight toolbar icons and the application icon from the
// PNG data embedded in the executable, and makes the icon the one every window
// shows. False when one of them could not be decoded (that image is then absent).
bool decodeImages();

} // namespace leafscope

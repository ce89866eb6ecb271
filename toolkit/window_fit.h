#pragma once
// Where a window goes on the screen: its size kept where it fits, otherwise
// shrunk to the screen's available area with its frame. Free of Qt.

namespace toolkit {

struct ScreenRect {
    int x = 0, y = 0, width = 0, height = 0;
};

// What the window system draws around a window's inner area (title bar, borders).
struct FrameExtents {
    int left = 0, top = 0, right = 0, bottom = 0;
};

// The inner rectangle of a window asking for an inner size of `width` x `height`
// with a minimum inner size of `minWidth` x `minHeight`, centred, frame
// included, on `area`. Each side keeps its asked size (raised to the minimum)
// where it fits with the frame, else takes what the area leaves beside the
// frame: below the minimum only when the area itself is smaller than that. An
// empty area (no screen known) gives the asked size at (0, 0).
ScreenRect fitWindowToArea(int width, int height, int minWidth, int minHeight, ScreenRect area, FrameExtents frame);

} // namespace toolkit

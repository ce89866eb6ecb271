#include "toolkit/window_fit.h"

#include <algorithm>

namespace toolkit {
namespace {

// One side: the inner extent and the inner start.
void fitSide(
    int asked, int minimum, int areaStart, int areaExtent, int frameBefore, int frameAfter, int& extent, int& start)
{
    const int room = std::max(1, areaExtent - frameBefore - frameAfter);
    extent = std::min(std::max(asked, minimum), room);
    const int outer = extent + frameBefore + frameAfter;
    start = std::max(areaStart, areaStart + (areaExtent - outer) / 2) + frameBefore;
}

} // namespace

ScreenRect fitWindowToArea(int width, int height, int minWidth, int minHeight, ScreenRect area, FrameExtents frame)
{
    if (area.width <= 0 || area.height <= 0) {
        return ScreenRect{0, 0, width, height};
    }
    ScreenRect rect;
    fitSide(width, minWidth, area.x, area.width, frame.left, frame.right, rect.width, rect.x);
    fitSide(height, minHeight, area.y, area.height, frame.top, frame.bottom, rect.height, rect.y);
    return rect;
}

} // namespace toolkit

#include "platform/window/ScreenPlacement.h"

#include <algorithm>

namespace platform {

namespace {

int floorDiv(int a, int b)
{
    return a >= 0 ? a / b : -((-a + b - 1) / b);
}

} // namespace

ScreenPlacement ScreenPlacement::fit(int windowWidth, int windowHeight, int screenWidth,
                                     int screenHeight)
{
    ScreenPlacement p;
    if (screenWidth > 0 && screenHeight > 0)
        p.scale = std::max(1, std::min(windowWidth / screenWidth, windowHeight / screenHeight));
    p.width = screenWidth * p.scale;
    p.height = screenHeight * p.scale;
    p.x = floorDiv(windowWidth - p.width, 2);
    p.y = floorDiv(windowHeight - p.height, 2);
    return p;
}

int ScreenPlacement::toScreenX(int windowX) const
{
    return floorDiv(windowX - x, scale);
}

int ScreenPlacement::toScreenY(int windowY) const
{
    return floorDiv(windowY - y, scale);
}

int fittingScale(int usableWidth, int usableHeight, int screenWidth, int screenHeight, int maxScale)
{
    for (int s = maxScale; s > 1; --s)
        if (screenWidth * s + kFrameAllowanceWidth <= usableWidth &&
            screenHeight * s + kFrameAllowanceHeight <= usableHeight)
            return s;
    return 1;
}

} // namespace platform

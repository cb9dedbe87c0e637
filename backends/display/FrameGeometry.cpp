#include "display/FrameGeometry.h"

namespace ScreenHAL {

int32_t FrameGeometry::orientationFromSteps(int32_t xStep, int32_t yStep)
{
    if (xStep > 0)
        return yStep > 0 ? 0 : 1;
    return yStep < 0 ? 2 : 3;
}

intptr_t FrameGeometry::lowestPixelOffset(int32_t width, int32_t height, int32_t xStep,
                                          int32_t yStep)
{
    intptr_t offset = 0;
    if (xStep < 0)
        offset += static_cast<intptr_t>(width - 1) * xStep;
    if (yStep < 0)
        offset += static_cast<intptr_t>(height - 1) * yStep;
    return offset;
}

} // namespace ScreenHAL

// Frame-buffer layout from the two signed steps a device reports (bytes from a pixel to its
// right neighbour and to the one below, in the device's own upright view).
#pragma once

#include <cstdint>

namespace ScreenHAL {

class FrameGeometry
{
  public:
    static int32_t orientationFromSteps(int32_t xStep, int32_t yStep);
    // Offset from the reported frame pointer (the upright view's pixel (0, 0)) to the lowest
    // address of the frame, where the driver's surface starts: the corner whose steps are
    // negative. For a half turn that is (W - 1) * xStep + (H - 1) * yStep, so that a surface
    // of H rows at |yStep| stays inside the frame.
    static intptr_t lowestPixelOffset(int32_t width, int32_t height, int32_t xStep, int32_t yStep);
};

} // namespace ScreenHAL

// Records the display layer passes around: the caller's display parameters, the detection
// record that probes fill and drivers initialise from, and rectangles.
#pragma once

#include "raster/RasterTypes.h"

#include <cstdint>

namespace ScreenHAL {

// Orientation 0 is the hardware's upright layout, 1 to 3 the quarter-turn layouts (3 is a
// clockwise quarter turn), 4 "whatever the hardware has".
constexpr int32_t kOrientationNative = 4;
constexpr int32_t kSwapDiscard = 1;
constexpr int32_t kSwapCopy = 2;

struct DisplayParams
{
    int32_t width = 0;
    int32_t height = 0;
    int32_t orientation = 0;
    int32_t swapEffect = 0;
};

struct DetectionRecord
{
    int32_t width = 0;
    int32_t height = 0;
    int32_t bitsPerPixel = 0;
    int32_t pitch = 0;
    int32_t orientation = kOrientationNative;
    int32_t swapKind = 0;
    uintptr_t frameBuffer = 0; // 0: none found
};

// Right and bottom exclusive: the rasteriser's rectangle.
using Rect = Gfx::Rect;

// Present flags.
constexpr int kPresentWaitScan = 1; // run PrePresent first
constexpr int kPresentFullCopy = 2; // SlowFB rewrites the whole frame

} // namespace ScreenHAL

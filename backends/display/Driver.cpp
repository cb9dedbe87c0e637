#include "display/Driver.h"

namespace ScreenHAL {

DetectionRecord Driver::record() const
{
    return DetectionRecord{width, height, bitsPerPixel, pitch, orientation, swapKind, frameBuffer};
}

void Driver::takeRecord(const DetectionRecord& r)
{
    width = r.width;
    height = r.height;
    bitsPerPixel = r.bitsPerPixel;
    pitch = r.pitch;
    orientation = r.orientation;
    swapKind = r.swapKind;
    frameBuffer = r.frameBuffer;
}

} // namespace ScreenHAL

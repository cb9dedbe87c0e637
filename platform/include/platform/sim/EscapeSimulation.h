// The replies of the frame-buffer escapes. Nothing is supported unless a test or device profile
// sets a reply.
#pragma once

#include "platform/escape.h"

namespace platform::sim {

struct EscapeReplies
{
    bool gxInfoSupported = false;
    GXDeviceInfo gxInfo{};
    bool rawSupported = false;
    RawFrameBufferInfo raw{};
};

class EscapeSimulation
{
  public:
    static EscapeReplies& replies();
    static void reset();
};

} // namespace platform::sim

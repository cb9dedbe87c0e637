#include "platform/sim/EscapeSimulation.h"

#include <cstring>

namespace platform::sim {

EscapeReplies& EscapeSimulation::replies()
{
    static EscapeReplies r;
    return r;
}

void EscapeSimulation::reset()
{
    replies() = EscapeReplies{};
}

} // namespace platform::sim

int ExtEscape(HDC, int escape, int inSize, LPCSTR in, int outSize, char* out)
{
    const auto& r = platform::sim::EscapeSimulation::replies();
    switch (escape) {
    case QUERYESCSUPPORT: {
        if (!in || inSize < static_cast<int>(sizeof(int32_t)))
            return -1;
        int32_t code;
        std::memcpy(&code, in, sizeof code);
        if (code == GETGXINFO)
            return r.gxInfoSupported ? 1 : 0;
        if (code == GETRAWFRAMEBUFFER)
            return r.rawSupported ? 1 : 0;
        return code == QUERYESCSUPPORT ? 1 : 0;
    }
    case GETGXINFO: {
        if (!r.gxInfoSupported)
            return 0;
        if (!out || outSize < static_cast<int>(sizeof(GXDeviceInfo)))
            return -1;
        GXDeviceInfo asked;
        std::memcpy(&asked, out, sizeof asked);
        if (asked.idVersion != GXINFO_VERSION)
            return -1;
        std::memcpy(out, &r.gxInfo, sizeof r.gxInfo);
        return 1;
    }
    case GETRAWFRAMEBUFFER:
        if (!r.rawSupported)
            return 0;
        if (!out || outSize < static_cast<int>(sizeof(RawFrameBufferInfo)))
            return -1;
        std::memcpy(out, &r.raw, sizeof r.raw);
        return 1;
    default:
        return 0;
    }
}

#include "display/MediaQ.h"

#include "display/DisplayLog.h"
#include "platform/EmulatedDevice.h"
#include "platform/clock.h"

#include <cstring>

namespace ScreenHAL {

namespace {

MediaQ::Clock& clock()
{
    static MediaQ::Clock c;
    return c;
}

int64_t now()
{
    if (clock())
        return clock()();
    // The performance counter, in milliseconds; where it fails, the tick count's clock.
    LONGLONG frequency = 0;
    LONGLONG counter = 0;
    if (QueryPerformanceFrequency(&frequency) && frequency > 0 && QueryPerformanceCounter(&counter))
        return counter * 1000 / frequency;
    return platform::monotonicMillis();
}

} // namespace

void MediaQ::setClock(Clock c)
{
    clock() = std::move(c);
}

[[maybe_unused]] static const bool g_resetAdded =
    platform::EmulatedDevice::addReset([] { MediaQ::setClock(nullptr); });

bool MediaQ::Detect(DetectionRecord& record)
{
    DisplayLog::line("MediaQ: Detect()");
    if ((record.frameBuffer & 0x7FFFF) < 0x42000) {
        DisplayLog::line("MediaQ: not a MediaQ [1]");
        return false;
    }
    const int64_t bytes = static_cast<int64_t>(record.pitch) * record.height;
    if (bytes > 0x40000 || bytes <= 0) {
        DisplayLog::line("MediaQ: not a MediaQ [2]");
        return false;
    }
    // Starts on a tick's edge. On the fake clock every look lets a millisecond pass, where a
    // frozen clock would keep this loop waiting for ever.
    int64_t start = now();
    while (now() == start) {
        if (platform::clockIsFake())
            platform::waitMillis(1);
    }
    std::memset(reinterpret_cast<void*>(record.frameBuffer), 0, static_cast<size_t>(bytes));
    int64_t end = now();
    int measured = static_cast<int>(end - start - 1);
    DisplayLog::line("MediaQ: benchmarked %d ms", measured);
    if (measured < 14) {
        DisplayLog::line("MediaQ: not a MediaQ [3]");
        return false;
    }
    DisplayLog::line("MediaQ: detected MQ1100 or above");
    return true;
}

bool MediaQ::Initialize(HWND window, const DisplayParams&, const DetectionRecord& record)
{
    DisplayLog::line("MediaQ: Initialize()");
    if (!IsWindow(window) || !record.frameBuffer)
        return false;
    takeRecord(record);
    swapKind = 0;
    m_surface = makeFrameSurface(reinterpret_cast<void*>(frameBuffer), width, height, pitch);
    return true;
}

Surface* MediaQ::Lock()
{
    return m_surface.get();
}

} // namespace ScreenHAL

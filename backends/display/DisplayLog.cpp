#include "display/DisplayLog.h"

#include "platform/EmulatedDevice.h"

#include <cstdarg>
#include <cstdio>

namespace ScreenHAL {

namespace {
DisplayLog::Sink& sink()
{
    static DisplayLog::Sink s;
    return s;
}
} // namespace

void DisplayLog::setSink(Sink s)
{
    sink() = std::move(s);
}

[[maybe_unused]] static const bool g_resetAdded =
    platform::EmulatedDevice::addReset([] { DisplayLog::setSink(nullptr); });

void DisplayLog::line(const char* format, ...)
{
    if (!sink())
        return;
    char buf[512];
    va_list args;
    va_start(args, format);
    std::vsnprintf(buf, sizeof buf, format, args);
    va_end(args);
    sink()(buf);
}

} // namespace ScreenHAL

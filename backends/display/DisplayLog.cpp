#include "display/DisplayLog.h"

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

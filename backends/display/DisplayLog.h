// The layer's progress lines. They go nowhere unless a sink is installed (tests install one to
// see which step a detection took).
#pragma once

#include <functional>
#include <string>

namespace ScreenHAL {

class DisplayLog
{
  public:
    using Sink = std::function<void(const std::string&)>;
    static void setSink(Sink sink);
    static void line(const char* format, ...) __attribute__((format(printf, 1, 2)));
};

} // namespace ScreenHAL

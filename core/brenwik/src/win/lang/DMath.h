// Integer helpers of the Java ME Math class.
#pragma once

#include <cstdint>

namespace qev::lang {

class DMath
{
  public:
    // abs(INT32_MIN) stays INT32_MIN, as in Java.
    static int32_t abs(int32_t v)
    {
        return v < 0 ? static_cast<int32_t>(0u - static_cast<uint32_t>(v)) : v;
    }
    static int32_t max(int32_t a, int32_t b) { return a > b ? a : b; }
    static int32_t min(int32_t a, int32_t b) { return a < b ? a : b; }
};

} // namespace qev::lang

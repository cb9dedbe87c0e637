// The screen DC's size, for probes that must agree with it.
#pragma once

namespace ScreenHAL {

class ScreenCaps
{
  public:
    // True when HORZRES x VERTRES of the screen DC equals width x height.
    static bool areaMatches(long width, long height);
};

} // namespace ScreenHAL

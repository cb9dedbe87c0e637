// What a driver of the main loop (the scripted runner) may do around each pass: feed input
// before it, look at the result after it, and keep the loop from waiting for real.
#pragma once

namespace host {

class LoopHooks
{
  public:
    virtual ~LoopHooks() = default;
    // Before pass `pass` (counted from 0).
    virtual void beforePass(long pass) = 0;
    // After pass `pass`; false ends the run as closing the window does.
    virtual bool afterPass(long pass) = 0;
};

} // namespace host

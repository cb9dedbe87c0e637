// The one emulated handheld. Its identity (screen, platform type, OEM text, CPU ID,
// orientation answer) and its back-end choices (window, audio, clock, message boxes, messaging)
// are the fields of the device profile; its state lives in the window system, the module table,
// the hardware simulations, the registry and the fake clock. reset() returns all of it at once to
// the state of a fresh process, so that no test and no scripted run sees what the one before
// left behind.
#pragma once

#include "platform/DeviceProfile.h"

#include <functional>

namespace platform {

class EmulatedDevice
{
  public:
    // Identity and back-end choices (PH_* variables on first use).
    static DeviceProfile& profile() { return DeviceProfile::current(); }

    // Every registry, simulation, counter and switch back to a fresh process's state; the
    // environment is not read again. Windows are destroyed, the window back-end is forgotten
    // (the next window picks one from the profile), every simulated library is absent again,
    // the registry database is closed and its faults disarmed. The resets added below run first.
    static void reset();

    // Layers above the platform (display drivers, logs) keep state of their own; they add its
    // reset here once, from the file that owns the state, and reset() runs it from then on.
    // Returns true, so that a file can register at static initialisation.
    static bool addReset(std::function<void()> reset);
};

} // namespace platform

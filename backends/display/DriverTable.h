// Every display driver in one table, in the order detection probes them: its name, type code,
// probe, constructor and the reset of what its probe keeps per process. Adding a driver is adding
// a row.
#pragma once

#include "display/Driver.h"

#include <memory>
#include <vector>

namespace ScreenHAL {

struct DriverEntry
{
    const char* name;
    int type;
    // Rows of one group are probed in order until one answers: a device has one frame-buffer
    // path of each kind. A group of one row is always probed.
    int group;
    // Probed only on a 16-bit screen.
    bool needs16Bit;
    bool (*probe)(DetectionRecord& record, HWND window);
    std::unique_ptr<Driver> (*create)();
    // Forgets what the probe found out (null when it keeps nothing).
    void (*reset)();
};

const std::vector<DriverEntry>& driverTable();

} // namespace ScreenHAL

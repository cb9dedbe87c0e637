// Inside the layer: wakes the threads whose timed waits follow the fake clock, after it moved.
#pragma once

namespace platform {

void wakeClockWaiters();

} // namespace platform

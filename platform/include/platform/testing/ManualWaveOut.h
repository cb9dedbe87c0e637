// The manual waveOut device (PH_AUDIO=manual): nothing is heard; tests and scripted runs play its
// queue themselves, a buffer at a time, and choose which formats and devices it refuses.
#pragma once

#include "platform/waveout.h"

#include <cstddef>

namespace platform {

// The manual device: what it accepts and how the test drives it.
struct ManualWaveOutConfig
{
    UINT deviceCount = 1;
    bool refuseAllFormats = false;
    bool failDeviceZero = false; // device 0 refuses, device 1 (if counted) accepts
    DWORD refusedRate = 0;       // a sample rate the device refuses (0: none)
    WORD refusedChannels = 0;    // a channel count the device refuses (0: none)
};
void setManualWaveOutConfig(const ManualWaveOutConfig& config);

// Plays up to `bytes` bytes of the device's queue into `out` (may be null) as the audio thread
// would, delivering WOM_DONE for each finished header on the calling thread. While paused or idle
// nothing plays. Returns the bytes taken from the queue; `out` receives them, silence for the rest.
size_t manualWaveOutPump(HWAVEOUT h, void* out, size_t bytes);
// Plays exactly the header at the head of the queue; returns its length, 0 when none or paused.
size_t manualWaveOutPumpBuffer(HWAVEOUT h, void* out, size_t capacity);
// waveOutOpen calls that reached the manual back-end since the last setManualWaveOutConfig.
size_t manualWaveOutOpenAttempts();
// The only open manual device, or null.
HWAVEOUT manualWaveOutDevice();
size_t manualWaveOutQueued(HWAVEOUT h);
bool manualWaveOutPaused(HWAVEOUT h);

} // namespace platform

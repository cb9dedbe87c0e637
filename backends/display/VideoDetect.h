// Probes the device once for every driver it may use and picks, for a display, the most direct
// one that initialises.
#pragma once

#include "display/Driver.h"

#include <memory>
#include <vector>

namespace ScreenHAL {

struct DisplayMode
{
    int32_t width;
    int32_t height;
    int32_t orientation;
};

class VideoDetect
{
  public:
    // Built on first use; `window` is the one the probes may open the display on.
    static VideoDetect& instance(HWND window);
    // Forgets the detection (and the per-process probe results) so the next use probes again;
    // for tests that switch the simulated device.
    static void resetForTests();

    // The driver for these parameters, initialised; null when none fits.
    std::unique_ptr<Driver> SelectDriver(HWND window, const DisplayParams& params);
    // A new, uninitialised driver of a type code; null for unknown codes.
    static std::unique_ptr<Driver> CreateDriver(int type);

    const DetectionRecord& record() const { return m_record; }
    const std::vector<int>& drivers() const { return m_drivers; }
    const std::vector<DisplayMode>& modes() const { return m_modes; }

  private:
    explicit VideoDetect(HWND window);
    void DetectDrivers(HWND window);
    void add(int type);

    DetectionRecord m_record;
    std::vector<DisplayMode> m_modes;
    std::vector<int> m_drivers;
};

} // namespace ScreenHAL

// What the layer knows about the device it runs on, computed once per process: the CPU type
// (from the processor identification register) and the device model (from the OEM text).
#pragma once

#include <cstdint>

namespace ScreenHAL {

enum CpuType : int { kCpuOther = 0, kCpuStrongARM = 1, kCpuXScale = 2 };

class DeviceInfo
{
  public:
    static int cpuType();
    static int deviceModel();
    static int cpuTypeFromId(uint32_t id);
    // 0 when the text starts with none of the known model names.
    static int modelFromOemText(const char16_t* text);
    // Forget the computed values so the next call reads the device again; for tests.
    static void resetForTests();
};

} // namespace ScreenHAL

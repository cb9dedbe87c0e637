#include "display/StrongARM.h"

#include "display/DeviceInfo.h"
#include "display/DisplayLog.h"

namespace ScreenHAL {

StrongARM::Probe& StrongARM::probe()
{
    static Probe p;
    return p;
}

bool StrongARM::Detect(DetectionRecord& record)
{
    return detect(
        "StrongARM", probe(), kRegisters, kRegisterBytes,
        [](Probe& p, const MappedRegisters& regs, uint32_t control) {
            p.width = static_cast<int32_t>(regs.read32(0x20) & 0x3FF) + 16;
            p.height = static_cast<int32_t>(regs.read32(0x24) & 0x3FF) + 1;
            MappedRegisters palette;
            uint16_t entry = palette.map(regs.read32(0x10), 2) ? palette.read16(0) : 0;
            switch (entry & 0x3000) {
            case 0x0000:
                p.bitsPerPixel = 4;
                p.paletteBytes = 32;
                break;
            case 0x1000:
                p.bitsPerPixel = 8;
                p.paletteBytes = 512;
                break;
            case 0x2000:
                p.bitsPerPixel = 16;
                p.paletteBytes = 32;
                break;
            default:
                p.bitsPerPixel = 0;
                break;
            }
            p.pitch = p.bitsPerPixel * ((p.width + 15) & ~15) / 8;
            p.found = p.bitsPerPixel == 16 && (control & 0x80) != 0;
        },
        record);
}

bool StrongARM::Initialize(HWND window, const DisplayParams&, const DetectionRecord& record)
{
    DisplayLog::line("StrongARM: Initialize()");
    DetectionRecord r = record;
    uintptr_t fixed = 0;
    if (DeviceInfo::deviceModel() == 1) {
        r.orientation = 3;
        fixed = kH3800Frame;
    }
    return initializeFrame(window, r, probe().found, fixed, kRegisters, kRegisterBytes);
}

bool StrongARM::inScanWindow() const
{
    const uint32_t base = m_registers.read32(0x10) + static_cast<uint32_t>(probe().paletteBytes);
    const uint32_t current = m_registers.read32(0x14);
    const uint32_t p = static_cast<uint32_t>(pitch), h = static_cast<uint32_t>(height);
    return current >= base + p * (h - 34) && current <= base + p * (h - 20);
}

} // namespace ScreenHAL

#include "display/XScale.h"

#include "display/DisplayLog.h"

namespace ScreenHAL {

XScale::Probe& XScale::probe()
{
    static Probe p;
    return p;
}

bool XScale::Detect(DetectionRecord& record)
{
    return detect(
        "XScale", probe(), kRegisters, kRegisterBytes,
        [](Probe& p, const MappedRegisters& regs, uint32_t control) {
            p.width = static_cast<int32_t>(regs.read32(0x04) & 0x3FF) + 1;
            p.height = static_cast<int32_t>(regs.read32(0x08) & 0x3FF) + 1;
            static const int32_t depths[8] = {1, 2, 4, 8, 16, 0, 0, 0};
            p.bitsPerPixel = depths[(regs.read32(0x0C) >> 24) & 7];
            bool eight = ((control & 0x202) == 0x202) ||
                         ((control & 0x80) && (p.bitsPerPixel == 8 || p.bitsPerPixel == 16));
            int32_t rounded = eight ? (p.width + 7) & ~7 : (p.width + 3) & ~3;
            p.pitch = p.bitsPerPixel * rounded / 8;
            p.found = p.bitsPerPixel == 16;
        },
        record);
}

bool XScale::Initialize(HWND window, const DisplayParams&, const DetectionRecord& record)
{
    DisplayLog::line("XScale: Initialize()");
    return initializeFrame(window, record, probe().found, 0, kRegisters, kRegisterBytes);
}

bool XScale::inScanWindow() const
{
    const uint32_t source = m_registers.read32(0x20C);
    const uint32_t row = source & 0x1FFFFF;
    const uint32_t p = static_cast<uint32_t>(pitch);
    return (source & (1u << 26)) == 0 && row >= p * 20 && row <= p * 34;
}

} // namespace ScreenHAL

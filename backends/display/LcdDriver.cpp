#include "display/LcdDriver.h"

#include "display/BoundedWait.h"
#include "display/DisplayLog.h"

#include "platform/physmem.h"

#include <cstring>

namespace ScreenHAL {

bool LcdDriver::detect(const char* driver, Probe& p, uint32_t registers, size_t registerBytes,
                       ReadGeometry read, DetectionRecord& record)
{
    DisplayLog::line("%s: Detect()", driver);
    if (!p.done) {
        p.done = true;
        MappedRegisters regs;
        if (regs.map(registers, registerBytes)) {
            const uint32_t control = regs.read32(0x00);
            if (control & 1)
                read(p, regs, control);
        }
    }
    DisplayLog::line(p.found ? "%s: found LCD" : "%s: no LCD detected", driver);
    if (p.found) {
        record.width = p.width;
        record.height = p.height;
        record.bitsPerPixel = p.bitsPerPixel;
        record.pitch = p.pitch;
    }
    return p.found;
}

bool LcdDriver::initializeFrame(HWND window, const DetectionRecord& record, bool probeFound,
                                uintptr_t fixedAddress, uint32_t registers, size_t registerBytes)
{
    // The frame address of an earlier probe is required even where a fixed address replaces
    // it: a device without one is not drawn through its controller.
    if (!IsWindow(window) || !probeFound || !record.frameBuffer)
        return false;
    takeRecord(record);
    swapKind = 0;
    const size_t bytes = static_cast<size_t>(pitch) * height;
    uintptr_t address = fixedAddress ? fixedAddress : record.frameBuffer;
    // The cached and uncached kernel views of one frame differ only in bit 29; the uncached one
    // (bit clear) is used when both show the same memory.
    DisplayLog::line("%s: detecting framebuffer", name());
    const uintptr_t bit29 = uintptr_t(1) << 29;
    if (address & bit29) {
        void* cached = platform::kernelView(address, bytes);
        void* plain = platform::kernelView(address & ~bit29, bytes);
        if (cached && plain && std::memcmp(cached, plain, bytes) == 0) {
            address &= ~bit29;
            DisplayLog::line("%s: found framebuffer", name());
        }
    }
    void* pixels = platform::kernelView(address, bytes);
    if (!pixels && !fixedAddress)
        pixels = reinterpret_cast<void*>(address);
    if (!pixels || !m_registers.map(registers, registerBytes))
        return false;
    frameBuffer = address;
    m_surface = makeFrameSurface(pixels, width, height, pitch);
    return true;
}

Surface* LcdDriver::Lock()
{
    return m_surface.get();
}

void LcdDriver::PrePresent()
{
    std::this_thread::yield();
    if (!BoundedWait::until([this] { return inScanWindow(); }))
        DisplayLog::line("%s: scan window not reached, presenting anyway", name());
}

} // namespace ScreenHAL

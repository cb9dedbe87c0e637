// The simulated physical address space behind VirtualCopy: device ranges backed by a shared
// memory file, so that a driver's mapped registers and the test's view of them are the same
// memory; the kernel-view table behind platform::kernelView; and a scan that moves an LCD
// controller's DMA register through the frame as the fake clock moves.
#pragma once

#include "platform/wintypes.h"

#include <cstddef>
#include <cstdint>

namespace platform::sim {

class PhysicalMemory
{
  public:
    // Adds a device range (page-aligned start) and returns the test's view of it, zeroed.
    static uint8_t* addRange(uint32_t physical, size_t size);
    static uint8_t* view(uint32_t physical);
    static void addKernelView(uintptr_t address, void* memory, size_t size);
    static void failVirtualAlloc(bool fail);
    static void failVirtualCopy(bool fail);
    // Reservations made by VirtualAlloc and not yet released.
    static int liveReservations();

    // Writes start + step * row, row = 0 .. rows - 1 and over again, into the 32-bit register at
    // `physical`, one row every `rowMicros` microseconds of the fake clock, until stopScan: the
    // row is set anew whenever the clock moves, on the thread that moves it.
    static void startScan(uint32_t physical, uint32_t start, uint32_t step, int rows,
                          int rowMicros);
    static void stopScan();

    // Unmaps every range and forgets every view; for tests.
    static void reset();
};

} // namespace platform::sim

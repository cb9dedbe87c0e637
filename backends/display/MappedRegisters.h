// A device register block mapped from its physical address (VirtualAlloc + VirtualCopy); read
// through volatile accesses so that every look reaches the device.
#pragma once

#include <cstddef>
#include <cstdint>

namespace ScreenHAL {

class MappedRegisters
{
  public:
    MappedRegisters() = default;
    MappedRegisters(const MappedRegisters&) = delete;
    MappedRegisters& operator=(const MappedRegisters&) = delete;
    ~MappedRegisters() { unmap(); }

    bool map(uint32_t physical, size_t bytes);
    void unmap();
    bool mapped() const { return m_base != nullptr; }
    uint32_t read32(size_t offset) const;
    uint16_t read16(size_t offset) const;

  private:
    void* m_reservation = nullptr;
    const volatile uint8_t* m_base = nullptr;
    size_t m_bytes = 0;
};

} // namespace ScreenHAL

#include "display/MappedRegisters.h"

#include "platform/physmem.h"

namespace ScreenHAL {

bool MappedRegisters::map(uint32_t physical, size_t bytes)
{
    unmap();
    const uint32_t page = physical & ~0xFFFu;
    const size_t within = physical - page;
    const DWORD size = static_cast<DWORD>(within + bytes);
    void* va = VirtualAlloc(nullptr, size, MEM_RESERVE, PAGE_NOACCESS);
    if (!va)
        return false;
    if (!VirtualCopy(va, reinterpret_cast<void*>(static_cast<uintptr_t>(page >> 8)), size,
                     PAGE_READWRITE | PAGE_NOCACHE | PAGE_PHYSICAL)) {
        VirtualFree(va, 0, MEM_RELEASE);
        return false;
    }
    m_reservation = va;
    m_base = static_cast<volatile uint8_t*>(va) + within;
    m_bytes = bytes;
    return true;
}

void MappedRegisters::unmap()
{
    if (m_reservation)
        VirtualFree(m_reservation, 0, MEM_RELEASE);
    m_reservation = nullptr;
    m_base = nullptr;
    m_bytes = 0;
}

uint32_t MappedRegisters::read32(size_t offset) const
{
    if (!m_base || offset + 4 > m_bytes)
        return 0;
    return *reinterpret_cast<const volatile uint32_t*>(m_base + offset);
}

uint16_t MappedRegisters::read16(size_t offset) const
{
    if (!m_base || offset + 2 > m_bytes)
        return 0;
    return *reinterpret_cast<const volatile uint16_t*>(m_base + offset);
}

} // namespace ScreenHAL

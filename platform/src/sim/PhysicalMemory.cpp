#include "platform/sim/PhysicalMemory.h"

#include "platform/physmem.h"
#include "platform/testing/FakeClock.h"

#include <map>
#include <mutex>
#include <sys/mman.h>
#include <unistd.h>
#include <vector>

namespace platform::sim {

namespace {

struct Range
{
    uint32_t physical = 0;
    size_t size = 0; // rounded up to pages
    int fd = -1;
    uint8_t* view = nullptr;
};

struct KernelRange
{
    uintptr_t address;
    uint8_t* memory;
    size_t size;
};

struct State
{
    std::mutex lock;
    std::vector<Range> ranges;
    std::vector<KernelRange> kernel;
    std::map<void*, size_t> reservations;
    bool failAlloc = false;
    bool failCopy = false;
};

State& state()
{
    static State* s = new State;
    return *s;
}

size_t pageSize()
{
    return static_cast<size_t>(sysconf(_SC_PAGESIZE));
}

size_t roundUp(size_t n)
{
    size_t p = pageSize();
    return (n + p - 1) / p * p;
}

} // namespace

uint8_t* PhysicalMemory::addRange(uint32_t physical, size_t size)
{
    State& s = state();
    std::lock_guard<std::mutex> g(s.lock);
    Range r;
    r.physical = physical;
    r.size = roundUp(size);
    r.fd = memfd_create("ph-device", MFD_CLOEXEC);
    if (r.fd < 0 || ftruncate(r.fd, static_cast<off_t>(r.size)) != 0)
        return nullptr;
    void* v = mmap(nullptr, r.size, PROT_READ | PROT_WRITE, MAP_SHARED, r.fd, 0);
    if (v == MAP_FAILED) {
        close(r.fd);
        return nullptr;
    }
    r.view = static_cast<uint8_t*>(v);
    s.ranges.push_back(r);
    return r.view;
}

uint8_t* PhysicalMemory::view(uint32_t physical)
{
    State& s = state();
    std::lock_guard<std::mutex> g(s.lock);
    for (Range& r : s.ranges)
        if (physical >= r.physical && physical - r.physical < r.size)
            return r.view + (physical - r.physical);
    return nullptr;
}

void PhysicalMemory::addKernelView(uintptr_t address, void* memory, size_t size)
{
    State& s = state();
    std::lock_guard<std::mutex> g(s.lock);
    s.kernel.push_back({address, static_cast<uint8_t*>(memory), size});
}

void PhysicalMemory::failVirtualAlloc(bool fail)
{
    state().failAlloc = fail;
}

void PhysicalMemory::failVirtualCopy(bool fail)
{
    state().failCopy = fail;
}

int PhysicalMemory::liveReservations()
{
    State& s = state();
    std::lock_guard<std::mutex> g(s.lock);
    return static_cast<int>(s.reservations.size());
}

void PhysicalMemory::startScan(uint32_t physical, uint32_t start, uint32_t step, int rows,
                               int rowMicros)
{
    stopScan();
    auto* reg = reinterpret_cast<volatile uint32_t*>(view(physical));
    if (!reg || rows <= 0)
        return;
    // The row follows the fake clock as it moves (the driver's bounded wait moves it), so the
    // scan keeps pace with the driver however the machine schedules the test.
    const int64_t begin = FakeClock::peekMicros();
    const int64_t rowTime = rowMicros > 0 ? rowMicros : 1;
    auto place = [reg, start, step, rows, begin, rowTime](int64_t now) {
        const int64_t row = ((now - begin) / rowTime % rows + rows) % rows;
        *reg = start + step * static_cast<uint32_t>(row);
    };
    place(begin);
    FakeClock::follow(place);
}

void PhysicalMemory::stopScan()
{
    FakeClock::follow(nullptr);
}

void PhysicalMemory::reset()
{
    stopScan();
    State& s = state();
    std::lock_guard<std::mutex> g(s.lock);
    for (Range& r : s.ranges) {
        munmap(r.view, r.size);
        close(r.fd);
    }
    s.ranges.clear();
    s.kernel.clear();
    s.failAlloc = s.failCopy = false;
}

} // namespace platform::sim

using platform::sim::state;

LPVOID VirtualAlloc(LPVOID address, DWORD size, DWORD type, DWORD)
{
    auto& s = state();
    if (s.failAlloc || address || size == 0 || !(type & MEM_RESERVE)) {
        SetLastError(s.failAlloc ? ERROR_NOT_ENOUGH_MEMORY : ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    size_t bytes = platform::sim::roundUp(size);
    void* p = mmap(nullptr, bytes, PROT_NONE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (p == MAP_FAILED) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    std::lock_guard<std::mutex> g(s.lock);
    s.reservations[p] = bytes;
    return p;
}

BOOL VirtualFree(LPVOID address, DWORD, DWORD type)
{
    auto& s = state();
    std::lock_guard<std::mutex> g(s.lock);
    auto it = s.reservations.find(address);
    if (it == s.reservations.end() || type != MEM_RELEASE) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    munmap(it->first, it->second);
    s.reservations.erase(it);
    return TRUE;
}

BOOL VirtualCopy(LPVOID dest, LPVOID source, DWORD size, DWORD protect)
{
    auto& s = state();
    std::lock_guard<std::mutex> g(s.lock);
    auto res = s.reservations.find(dest);
    uint64_t physical = static_cast<uint64_t>(reinterpret_cast<uintptr_t>(source)) << 8;
    if (s.failCopy || !(protect & PAGE_PHYSICAL) || res == s.reservations.end() ||
        physical % platform::sim::pageSize() != 0 || size > res->second) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    for (auto& r : s.ranges) {
        if (physical < r.physical || physical + size > uint64_t(r.physical) + r.size)
            continue;
        size_t bytes = platform::sim::roundUp(size);
        off_t offset = static_cast<off_t>(physical - r.physical);
        void* p = mmap(dest, bytes, PROT_READ | PROT_WRITE, MAP_SHARED | MAP_FIXED, r.fd, offset);
        if (p == MAP_FAILED)
            break;
        return TRUE;
    }
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
}

void* platform::kernelView(uintptr_t address, size_t bytes)
{
    auto& s = state();
    std::lock_guard<std::mutex> g(s.lock);
    for (auto& k : s.kernel)
        if (address >= k.address && address - k.address + bytes <= k.size)
            return k.memory + (address - k.address);
    return nullptr;
}

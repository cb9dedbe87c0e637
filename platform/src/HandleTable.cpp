#include "platform/HandleTable.h"

#include <mutex>
#include <unordered_map>

namespace {

thread_local DWORD t_lastError = 0;

struct Table
{
    std::mutex lock;
    std::unordered_map<uintptr_t, std::shared_ptr<platform::KernelObject>> objects;
    // Handles are multiples of 4 so that they can never be 0, -1 or collide with a window handle.
    uintptr_t next = 0x1000;
};

Table& table()
{
    static Table* t = new Table; // outlives every static destructor that closes handles
    return *t;
}

} // namespace

DWORD GetLastError()
{
    return t_lastError;
}

void SetLastError(DWORD error)
{
    t_lastError = error;
}

BOOL CloseHandle(HANDLE h)
{
    if (!platform::HandleTable::remove(h)) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    return TRUE;
}

namespace platform {

HANDLE HandleTable::add(std::shared_ptr<KernelObject> object)
{
    Table& t = table();
    std::lock_guard<std::mutex> guard(t.lock);
    uintptr_t id = t.next;
    t.next += 4;
    t.objects.emplace(id, std::move(object));
    return reinterpret_cast<HANDLE>(id);
}

std::shared_ptr<KernelObject> HandleTable::find(HANDLE h, KernelObjectType type)
{
    Table& t = table();
    std::lock_guard<std::mutex> guard(t.lock);
    auto it = t.objects.find(reinterpret_cast<uintptr_t>(h));
    if (it == t.objects.end() || it->second->type() != type) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    return it->second;
}

bool HandleTable::remove(HANDLE h)
{
    std::shared_ptr<KernelObject> doomed; // destroyed outside the lock
    Table& t = table();
    std::lock_guard<std::mutex> guard(t.lock);
    auto it = t.objects.find(reinterpret_cast<uintptr_t>(h));
    if (it == t.objects.end())
        return false;
    doomed = std::move(it->second);
    t.objects.erase(it);
    return true;
}

size_t HandleTable::openCount()
{
    Table& t = table();
    std::lock_guard<std::mutex> guard(t.lock);
    return t.objects.size();
}

} // namespace platform

#include "platform/testing/FileFaults.h"

#include <mutex>

namespace platform {

namespace {

struct Armed
{
    unsigned target = 0;
    unsigned seen = 0;
    DWORD error = 0;
};

std::mutex g_lock;
Armed g_armed[4];

} // namespace

void FileFaults::failNth(FileCall call, unsigned n, DWORD error)
{
    std::lock_guard<std::mutex> guard(g_lock);
    g_armed[static_cast<int>(call)] = Armed{n, 0, error};
}

void FileFaults::clear()
{
    std::lock_guard<std::mutex> guard(g_lock);
    for (Armed& a : g_armed)
        a = Armed{};
}

bool FileFaults::shouldFail(FileCall call)
{
    std::lock_guard<std::mutex> guard(g_lock);
    Armed& a = g_armed[static_cast<int>(call)];
    if (a.target == 0)
        return false;
    if (++a.seen != a.target)
        return false;
    a.target = 0;
    SetLastError(a.error);
    return true;
}

} // namespace platform

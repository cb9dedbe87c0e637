#include "platform/window/MessageWake.h"

#include <atomic>
#include <cerrno>
#include <cstdint>
#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

namespace platform {

namespace {

// The headless wait and the SDL relay: one listener each per process.
constexpr int kMaxListeners = 4;
std::atomic<int> g_listeners[kMaxListeners] = {-1, -1, -1, -1};

} // namespace

int newWakeListener()
{
    const int fd = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    if (fd < 0)
        return -1;
    for (std::atomic<int>& slot : g_listeners) {
        int empty = -1;
        if (slot.compare_exchange_strong(empty, fd))
            return fd;
    }
    close(fd);
    return -1;
}

void wakeMessageWait()
{
    const int saved = errno; // a signal handler must leave errno as it found it
    const uint64_t one = 1;
    for (std::atomic<int>& slot : g_listeners) {
        const int fd = slot.load();
        if (fd >= 0) {
            const ssize_t written = write(fd, &one, sizeof one);
            (void)written; // a counter that cannot take more is readable already
        }
    }
    errno = saved;
}

void clearWakes()
{
    for (std::atomic<int>& slot : g_listeners) {
        uint64_t count = 0;
        if (const int fd = slot.load(); fd >= 0)
            while (read(fd, &count, sizeof count) > 0) {
            }
    }
}

bool waitForWake(int listener, int timeoutMs)
{
    const int timeout = timeoutMs < 0 ? -1 : timeoutMs;
    if (listener < 0) {
        if (timeout != 0)
            poll(nullptr, 0, timeout);
        return false;
    }
    pollfd p{listener, POLLIN, 0};
    if (poll(&p, 1, timeout) <= 0)
        return false;
    uint64_t count = 0;
    return read(listener, &count, sizeof count) == static_cast<ssize_t>(sizeof count);
}

} // namespace platform

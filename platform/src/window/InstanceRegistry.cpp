#include "platform/window/InstanceRegistry.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <map>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace platform {

namespace {

struct Holder
{
    int lockFd = -1;
    int socketFd = -1;
    std::string base;
};

struct State
{
    std::string ns = "pallasterhorn";
    std::map<HWND, Holder> owned;        // windows of this process
    std::vector<Holder> seeds;           // pretend foreign instances
    std::map<HWND, std::string> foreign; // handles given out for other instances
    uintptr_t nextForeign = 0x7F000000;
    int seededRaises = 0;
};

State& state()
{
    static State s;
    return s;
}

std::string directory()
{
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    std::string root = runtime && *runtime ? runtime : "/tmp/ph-" + std::to_string(getuid());
    mkdir(root.c_str(), 0700);
    std::string dir = root + "/" + state().ns;
    mkdir(dir.c_str(), 0700);
    return dir;
}

std::string basePath(const std::u16string& className, const std::u16string& title)
{
    // FNV-1a over both names keeps the file name short and free of odd characters.
    uint64_t h = 1469598103934665603ull;
    auto mix = [&h](const std::u16string& s) {
        for (char16_t c : s) {
            h = (h ^ (c & 0xFF)) * 1099511628211ull;
            h = (h ^ (c >> 8)) * 1099511628211ull;
        }
        h = (h ^ 0xFFFF) * 1099511628211ull;
    };
    mix(className);
    mix(title);
    char name[32];
    std::snprintf(name, sizeof name, "%016llx", static_cast<unsigned long long>(h));
    return directory() + "/" + name;
}

bool hold(const std::string& base, Holder& out)
{
    int fd = open((base + ".lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0)
        return false;
    if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
        close(fd);
        return false;
    }
    std::string sockPath = base + ".sock";
    unlink(sockPath.c_str());
    int s = socket(AF_UNIX, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    if (s >= 0 && sockPath.size() < sizeof addr.sun_path) {
        std::memcpy(addr.sun_path, sockPath.c_str(), sockPath.size() + 1);
        if (bind(s, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0) {
            close(s);
            s = -1;
        }
    }
    out.lockFd = fd;
    out.socketFd = s;
    out.base = base;
    return true;
}

void drop(Holder& h)
{
    if (h.socketFd >= 0) {
        close(h.socketFd);
        unlink((h.base + ".sock").c_str());
    }
    if (h.lockFd >= 0) {
        // Removed while still locked, so that no other instance can hold this file any more.
        unlink((h.base + ".lock").c_str());
        close(h.lockFd);
    }
    h.lockFd = h.socketFd = -1;
}

int drain(int fd)
{
    int count = 0;
    char buf[16];
    while (fd >= 0 && recv(fd, buf, sizeof buf, 0) > 0)
        ++count;
    return count;
}

} // namespace

void InstanceRegistry::setNamespace(const std::string& name)
{
    state().ns = name;
}

bool InstanceRegistry::claim(HWND window, const std::u16string& className,
                             const std::u16string& title)
{
    Holder h;
    if (!hold(basePath(className, title), h))
        return false;
    state().owned[window] = h;
    return true;
}

void InstanceRegistry::release(HWND window)
{
    auto& owned = state().owned;
    auto it = owned.find(window);
    if (it == owned.end())
        return;
    drop(it->second);
    owned.erase(it);
}

HWND InstanceRegistry::findForeign(const std::u16string& className, const std::u16string& title)
{
    std::string base = basePath(className, title);
    for (auto& [w, h] : state().owned)
        if (h.base == base)
            return nullptr; // ours: the caller's own lookup already answers for it
    int fd = open((base + ".lock").c_str(), O_RDWR | O_CLOEXEC);
    if (fd < 0)
        return nullptr;
    bool held = flock(fd, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK;
    close(fd); // closing also drops a lock that we happened to take
    if (!held)
        return nullptr;
    State& s = state();
    HWND handle = reinterpret_cast<HWND>(s.nextForeign);
    s.nextForeign += 4;
    s.foreign[handle] = base;
    return handle;
}

bool InstanceRegistry::isForeign(HWND window)
{
    return state().foreign.count(window) != 0;
}

bool InstanceRegistry::raiseForeign(HWND window)
{
    auto it = state().foreign.find(window);
    if (it == state().foreign.end())
        return false;
    std::string sockPath = it->second + ".sock";
    int s = socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (s < 0)
        return false;
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    bool sent = false;
    if (sockPath.size() < sizeof addr.sun_path) {
        std::memcpy(addr.sun_path, sockPath.c_str(), sockPath.size() + 1);
        sent = sendto(s, "raise", 5, 0, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 5;
    }
    close(s);
    return sent;
}

std::vector<HWND> InstanceRegistry::takeRaiseRequests()
{
    std::vector<HWND> out;
    for (auto& [w, h] : state().owned)
        if (drain(h.socketFd) > 0)
            out.push_back(w);
    return out;
}

bool InstanceRegistry::seedForeign(const std::u16string& className, const std::u16string& title)
{
    Holder h;
    if (!hold(basePath(className, title), h))
        return false;
    state().seeds.push_back(h);
    return true;
}

int InstanceRegistry::seededRaiseCount()
{
    State& s = state();
    for (auto& h : s.seeds)
        s.seededRaises += drain(h.socketFd);
    return s.seededRaises;
}

void InstanceRegistry::clearSeeds()
{
    State& s = state();
    for (auto& h : s.seeds)
        drop(h);
    s.seeds.clear();
    s.seededRaises = 0;
    s.foreign.clear();
}

void InstanceRegistry::removeEmptyNamespace()
{
    rmdir(directory().c_str());
}

} // namespace platform

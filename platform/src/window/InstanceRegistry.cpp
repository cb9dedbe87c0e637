#include "platform/window/InstanceRegistry.h"

#include <cerrno>
#include <cstdio>
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

// Why the folder of the lock files cannot be trusted, or "". It must be the user's alone (a
// folder the user owns, mode 0700), as the XDG base-directory rules ask: in a folder another
// user can write, that user could hold our lock and keep the game from starting, or put links
// where our files go. A link in /tmp is not followed; XDG_RUNTIME_DIR is the user's own choice.
std::string untrusted(const std::string& root, bool followLink)
{
    struct stat st;
    if ((followLink ? stat(root.c_str(), &st) : lstat(root.c_str(), &st)) != 0)
        return "cannot be made";
    if (!S_ISDIR(st.st_mode))
        return "is not a folder";
    if (st.st_uid != getuid())
        return "belongs to another user";
    if ((st.st_mode & 0777) != 0700) {
        char text[48];
        std::snprintf(text, sizeof text, "has mode %03o, not 700",
                      static_cast<unsigned>(st.st_mode & 0777));
        return text;
    }
    return "";
}

// The namespace's folder, or "" when the folder above it cannot be trusted: the run then finds
// no other copy and holds no lock, and says so once.
std::string directory()
{
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    const bool given = runtime && *runtime;
    const std::string root = given ? runtime : "/tmp/ph-" + std::to_string(getuid());
    mkdir(root.c_str(), 0700);
    if (const std::string fault = untrusted(root, given); !fault.empty()) {
        static std::string told;
        if (told != root) {
            told = root;
            std::fprintf(stderr,
                         "pallasterhorn: %s %s, so another running copy of the game cannot be "
                         "found; set XDG_RUNTIME_DIR to a folder of your own (mode 0700)\n",
                         root.c_str(), fault.c_str());
        }
        return "";
    }
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
    const std::string dir = directory();
    return dir.empty() ? "" : dir + "/" + name;
}

bool hold(const std::string& base, Holder& out)
{
    if (base.empty())
        return false;
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
    if (base.empty())
        return nullptr;
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
    if (const std::string dir = directory(); !dir.empty())
        rmdir(dir.c_str());
}

} // namespace platform

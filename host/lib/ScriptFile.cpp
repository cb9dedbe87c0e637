#include "ScriptFile.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace host {

bool readScriptFile(const std::string& path, std::string& text, std::string& problem)
{
    text.clear();
    // Without blocking: opening a pipe that nobody writes to must not wait.
    int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        problem = "cannot read the script " + path + " (" + std::strerror(errno) + ")";
        return false;
    }
    struct stat info
    {
    };
    bool ok = ::fstat(fd, &info) == 0;
    if (!ok)
        problem = "cannot read the script " + path + " (" + std::strerror(errno) + ")";
    else if (!S_ISREG(info.st_mode))
        problem = "the script " + path + " is not a regular file";
    else if (static_cast<unsigned long long>(info.st_size) > kMaxScriptBytes)
        problem = "the script " + path + " is larger than " +
                  std::to_string(kMaxScriptBytes >> 20) + " MB";
    ok = ok && problem.empty();
    // The size is checked again while reading: the file may grow after the check.
    char buffer[65536];
    while (ok) {
        ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0) {
            problem = "cannot read the script " + path + " (" + std::strerror(errno) + ")";
            ok = false;
        } else if (got == 0) {
            break;
        } else if (text.size() + static_cast<size_t>(got) > kMaxScriptBytes) {
            problem = "the script " + path + " is larger than " +
                      std::to_string(kMaxScriptBytes >> 20) + " MB";
            ok = false;
        } else {
            text.append(buffer, static_cast<size_t>(got));
        }
    }
    ::close(fd);
    if (!ok)
        text.clear();
    return ok;
}

} // namespace host

#include "platform/shell.h"

#include "platform/clock.h"

#include <chrono>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <thread>

extern char** environ;

namespace platform {

namespace {

std::function<bool(const std::string&)>& opener()
{
    static std::function<bool(const std::string&)> f;
    return f;
}

std::chrono::milliseconds& browserWait()
{
    static std::chrono::milliseconds limit{1500};
    return limit;
}

bool startBrowser(const std::string& url)
{
    pid_t pid;
    char program[] = "xdg-open";
    std::string arg = url;
    char* argv[] = {program, arg.data(), nullptr};
    if (posix_spawnp(&pid, program, nullptr, nullptr, argv, environ) != 0)
        return false; // no xdg-open on this desktop
    // xdg-open normally hands the address over and ends at once; its status tells whether it
    // could. Where it runs the browser itself it does not end, and the game must not wait for
    // the browser: past the limit the start counts as done and the child is reaped aside.
    const bool limited = browserWait() != std::chrono::milliseconds::max();
    const int64_t deadline = limited ? platform::monotonicMillis() + browserWait().count() : 0;
    int status = 0;
    for (;;) {
        pid_t done = waitpid(pid, &status, WNOHANG);
        if (done == pid)
            return WIFEXITED(status) && WEXITSTATUS(status) == 0;
        if (done < 0)
            return false;
        if (limited && platform::monotonicMillis() >= deadline)
            break;
        platform::waitMillis(5);
    }
    std::thread([pid] {
        int ignored = 0;
        waitpid(pid, &ignored, 0);
    }).detach();
    return true;
}

std::string ascii(LPCWSTR text)
{
    std::string s;
    for (; text && *text; ++text) {
        if (*text < 0x21 || *text > 0x7E)
            return {}; // no blanks, controls or non-ASCII in an address we pass on
        s += static_cast<char>(*text);
    }
    return s;
}

} // namespace

void setUrlOpener(std::function<bool(const std::string&)> f)
{
    opener() = std::move(f);
}

void setBrowserWait(std::chrono::milliseconds limit)
{
    browserWait() = limit;
}

} // namespace platform

BOOL ShellExecuteExW(SHELLEXECUTEINFOW* info)
{
    if (!info || !info->lpFile) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    std::string url = platform::ascii(info->lpFile);
    if (url.rfind("http://", 0) != 0 && url.rfind("https://", 0) != 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    auto& open = platform::opener();
    bool ok = open ? open(url) : platform::startBrowser(url);
    if (!ok)
        SetLastError(ERROR_FILE_NOT_FOUND);
    return ok ? TRUE : FALSE;
}

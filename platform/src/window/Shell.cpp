#include "platform/shell.h"

#include <spawn.h>
#include <string>
#include <sys/wait.h>

extern char** environ;

namespace platform {

namespace {

std::function<bool(const std::string&)>& opener()
{
    static std::function<bool(const std::string&)> f;
    return f;
}

bool startBrowser(const std::string& url)
{
    pid_t pid;
    char program[] = "xdg-open";
    std::string arg = url;
    char* argv[] = {program, arg.data(), nullptr};
    if (posix_spawnp(&pid, program, nullptr, nullptr, argv, environ) != 0)
        return false;
    // xdg-open hands the address over and ends quickly; its status tells whether it could.
    int status = 0;
    if (waitpid(pid, &status, 0) != pid)
        return false;
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
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

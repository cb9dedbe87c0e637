#include "platform/DeviceProfile.h"
#include "platform/PathMapping.h"
#include "platform/files.h"

#include <climits>
#include <cstdio>
#include <unistd.h>
#include <vector>

namespace platform {

std::string programFilePosix()
{
    const std::string& configured = DeviceProfile::current().programFile;
    if (!configured.empty())
        return configured;
    std::vector<char> buffer(PATH_MAX + 1);
    ssize_t n = ::readlink("/proc/self/exe", buffer.data(), buffer.size() - 1);
    if (n <= 0)
        return std::string();
    return std::string(buffer.data(), size_t(n));
}

bool checkProgramFile(std::string* problem)
{
    std::string posix = programFilePosix();
    std::u16string mapped;
    std::string why;
    if (posix.empty())
        why = "the program's own file name cannot be found";
    else if (posix.find('\\') != std::string::npos)
        why = "the program folder \"" + posix + "\" contains a backslash, which this system " +
              "reads as a folder separator; move the program to another folder";
    else if (PathMapping::toPlatform(posix, mapped) != ERROR_SUCCESS)
        why = "the program folder \"" + posix + "\" is not valid UTF-8";
    if (problem)
        *problem = why;
    return why.empty();
}

} // namespace platform

DWORD GetModuleFileNameW(HMODULE module, LPWSTR buffer, DWORD size)
{
    if (module) {
        SetLastError(126); // ERROR_MOD_NOT_FOUND: only the program itself has a file
        return 0;
    }
    if (!buffer || size == 0) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    std::u16string name;
    DWORD error = platform::PathMapping::toPlatform(platform::programFilePosix(), name);
    if (error == ERROR_SUCCESS && name.empty())
        error = ERROR_FILE_NOT_FOUND;
    if (error != ERROR_SUCCESS) {
        buffer[0] = 0;
        SetLastError(error);
        return 0;
    }
    DWORD limit = platform::DeviceProfile::current().moduleNameLimit;
    DWORD room = limit && limit < size ? limit : size;
    if (name.size() >= room) {
        for (DWORD i = 0; i + 1 < room; ++i)
            buffer[i] = name[i];
        buffer[room - 1] = 0;
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return room;
    }
    for (size_t i = 0; i < name.size(); ++i)
        buffer[i] = name[i];
    buffer[name.size()] = 0;
    return DWORD(name.size());
}

#include "platform/ProgramFolder.h"

#include "platform/files.h"

#include <vector>

namespace platform {

std::u16string programFileName()
{
    for (DWORD size : {DWORD(MAX_PATH), DWORD(4096), DWORD(32768)}) {
        std::vector<char16_t> buffer(size);
        SetLastError(ERROR_SUCCESS);
        const DWORD n = GetModuleFileNameW(nullptr, buffer.data(), size);
        if (n == 0)
            return std::u16string();
        if (GetLastError() == ERROR_INSUFFICIENT_BUFFER) {
            if (n < size)
                return std::u16string(); // cut short below the buffer's size
            continue;                    // read again into a larger buffer
        }
        if (n < size)
            return std::u16string(buffer.data(), n);
    }
    return std::u16string();
}

std::u16string programFolder()
{
    const std::u16string file = programFileName();
    const size_t slash = file.rfind(u'\\');
    return slash == std::u16string::npos ? std::u16string() : file.substr(0, slash);
}

} // namespace platform

size_t resolveAppPath(LPCWSTR path, WCHAR (&out)[MAX_PATH])
{
    out[0] = 0;
    if (!path || !path[0])
        return 0;
    size_t length = 0;
    while (path[length])
        ++length;

    std::u16string folder; // with its closing "\\" for a path in the program's folder
    if (path[0] != u'\\') {
        const std::u16string file = platform::programFileName();
        const size_t slash = file.rfind(u'\\');
        if (file.empty())
            return 0;
        if (slash != std::u16string::npos)
            folder = file.substr(0, slash + 1);
    }
    if (folder.size() + length >= MAX_PATH)
        return 0;
    for (size_t i = 0; i < folder.size(); ++i)
        out[i] = folder[i];
    for (size_t i = 0; i < length; ++i)
        out[folder.size() + i] = path[i];
    out[folder.size() + length] = 0;
    return folder.size() + length;
}

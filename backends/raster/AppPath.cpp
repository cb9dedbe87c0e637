// Paths of the program's folder. Every copy into the fixed buffer is bounded: a path that
// does not fit yields 0, never a cut-off name that could open another file.
#include "raster/ImageDecoder.h"

#include "platform/files.h"

size_t resolveAppPath(LPCWSTR path, WCHAR (&out)[MAX_PATH])
{
    out[0] = 0;
    if (!path || !path[0])
        return 0;
    size_t length = 0;
    while (path[length])
        ++length;

    size_t folder = 0; // units kept from the program's name, up to its last backslash
    if (path[0] != u'\\') {
        SetLastError(ERROR_SUCCESS);
        const DWORD n = GetModuleFileNameW(nullptr, out, MAX_PATH);
        // Unknown, or cut short: a cut name would point into another folder.
        if (n == 0 || n >= MAX_PATH || GetLastError() == ERROR_INSUFFICIENT_BUFFER) {
            out[0] = 0;
            return 0;
        }
        for (DWORD i = 0; i < n; ++i) {
            if (out[i] == u'\\')
                folder = i + 1;
        }
    }
    if (folder + length >= MAX_PATH) {
        out[0] = 0;
        return 0;
    }
    for (size_t i = 0; i < length; ++i)
        out[folder + i] = path[i];
    out[folder + length] = 0;
    return folder + length;
}

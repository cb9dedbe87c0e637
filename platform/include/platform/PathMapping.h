// One rule both ways between platform paths and POSIX paths: "\" <-> "/", UTF-16 <-> UTF-8.
// A platform path that starts with "\" is absolute.
#pragma once

#include "platform/wintypes.h"

#include <string>

namespace platform {

class PathMapping
{
  public:
    // ERROR_SUCCESS, or ERROR_INVALID_NAME for a null/empty name or an unpaired surrogate. A "/"
    // stays a separator, as the device's file system also accepts it.
    static DWORD toPosix(LPCWSTR name, std::string& out);
    // ERROR_SUCCESS, or ERROR_INVALID_NAME when the POSIX path is not UTF-8 or holds a "\"
    // (it could not be mapped back).
    static DWORD toPlatform(const std::string& posix, std::u16string& out);
};

} // namespace platform

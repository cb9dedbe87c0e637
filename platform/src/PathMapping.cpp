#include "platform/PathMapping.h"

#include "platform/text.h"

namespace platform {

DWORD PathMapping::toPosix(LPCWSTR name, std::string& out)
{
    if (!name || !*name)
        return ERROR_INVALID_NAME;
    std::u16string units;
    for (LPCWSTR p = name; *p; ++p)
        units.push_back(*p == u'\\' ? u'/' : *p);
    std::string bytes;
    if (!utf16ToUtf8(units, bytes))
        return ERROR_INVALID_NAME;
    out = std::move(bytes);
    return ERROR_SUCCESS;
}

DWORD PathMapping::toPlatform(const std::string& posix, std::u16string& out)
{
    if (posix.find('\\') != std::string::npos)
        return ERROR_INVALID_NAME;
    std::u16string units;
    if (!utf8ToUtf16(posix, units))
        return ERROR_INVALID_NAME;
    for (char16_t& c : units)
        if (c == u'/')
            c = u'\\';
    out = std::move(units);
    return ERROR_SUCCESS;
}

} // namespace platform

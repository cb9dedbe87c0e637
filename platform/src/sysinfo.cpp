#include "platform/sysinfo.h"

#include "platform/DeviceProfile.h"

#include <cstring>

int GetSystemMetrics(int index)
{
    const platform::DeviceProfile& p = platform::DeviceProfile::current();
    if (index == SM_CXSCREEN)
        return p.screenWidth;
    if (index == SM_CYSCREEN)
        return p.screenHeight;
    return 0;
}

BOOL SystemParametersInfoW(UINT action, UINT uiParam, LPVOID pvParam, UINT)
{
    const platform::DeviceProfile& p = platform::DeviceProfile::current();
    const std::u16string* text = action == SPI_GETPLATFORMTYPE ? &p.platformType
                                 : action == SPI_GETOEMINFO    ? &p.oemInfo
                                                               : nullptr;
    if (!text || !pvParam) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    size_t needed = (text->size() + 1) * sizeof(char16_t);
    if (needed > uiParam) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return FALSE;
    }
    std::memcpy(pvParam, text->c_str(), needed);
    return TRUE;
}

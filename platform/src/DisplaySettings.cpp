#include "platform/DeviceProfile.h"
#include "platform/sysinfo.h"

#include <atomic>

LONG ChangeDisplaySettingsEx(LPCWSTR, DEVMODEW* mode, HWND, DWORD flags, LPVOID)
{
    if (!(flags & CDS_TEST))
        return DISP_CHANGE_BADMODE;
    if (!mode)
        return DISP_CHANGE_BADPARAM;
    if (mode->dmFields & DM_DISPLAYORIENTATION) {
        mode->dmDisplayOrientation = DMDO_0;
        short answer = platform::DeviceProfile::current().orientationAnswer;
        if (answer != 0)
            mode->dmOrientation = answer;
    }
    return DISP_CHANGE_SUCCESSFUL;
}

DWORD ReadMainIdRegister()
{
    return platform::DeviceProfile::current().cpuId;
}

BOOL SetKMode(BOOL kernel)
{
    static std::atomic<BOOL> mode{FALSE};
    return mode.exchange(kernel ? TRUE : FALSE);
}

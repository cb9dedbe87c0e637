#include "platform/modules/BuiltinModules.h"

#include "platform/aygshell.h"
#include "platform/coredll.h"
#include "platform/window/WindowSystem.h"

namespace platform {

CoreSettings& coreSettings()
{
    static CoreSettings s;
    return s;
}

namespace {

BOOL allKeys(BOOL all)
{
    CoreSettings& s = coreSettings();
    BOOL previous = s.allKeys;
    s.allKeys = all;
    ++s.allKeysCalls;
    return previous;
}

BOOL setKMode(BOOL)
{
    // User and kernel mode are the same here; report "was user mode".
    return FALSE;
}

LONG changeDisplaySettingsEx(LPCWSTR, DEVMODEW* mode, HWND, DWORD flags, LPVOID)
{
    if (mode && (flags & CDS_TEST) && (mode->dmFields & DM_DISPLAYORIENTATION))
        mode->dmOrientation = coreSettings().displayOrientation;
    return DISP_CHANGE_SUCCESSFUL;
}

BOOL shFullScreen(HWND window, DWORD bits)
{
    // Remember what the shell would show; the desktop window itself is left as it is.
    DWORD state = WindowSystem::shellState(window);
    if (bits & SHFS_HIDETASKBAR)
        state = (state & ~DWORD(SHFS_SHOWTASKBAR)) | SHFS_HIDETASKBAR;
    if (bits & SHFS_SHOWTASKBAR)
        state = (state & ~DWORD(SHFS_HIDETASKBAR)) | SHFS_SHOWTASKBAR;
    if (bits & SHFS_HIDESIPBUTTON)
        state = (state & ~DWORD(SHFS_SHOWSIPBUTTON)) | SHFS_HIDESIPBUTTON;
    if (bits & SHFS_SHOWSIPBUTTON)
        state = (state & ~DWORD(SHFS_HIDESIPBUTTON)) | SHFS_SHOWSIPBUTTON;
    if (bits & SHFS_HIDESTARTICON)
        state = (state & ~DWORD(SHFS_SHOWSTARTICON)) | SHFS_HIDESTARTICON;
    if (bits & SHFS_SHOWSTARTICON)
        state = (state & ~DWORD(SHFS_HIDESTARTICON)) | SHFS_SHOWSTARTICON;
    WindowSystem::setShellState(window, state);
    return TRUE;
}

LONG shSetImeMode(HWND, DWORD)
{
    return 0;
}

} // namespace

std::vector<std::pair<std::string, ModuleExports>> builtinModules()
{
    return {
        {"coredll.dll",
         {{"AllKeys", exportOf(allKeys)},
          {"SetKMode", exportOf(setKMode)},
          {"ChangeDisplaySettingsEx", exportOf(changeDisplaySettingsEx)}}},
        {"aygshell.dll",
         {{"SHFullScreen", exportOf(shFullScreen)}, {"SHSetImeMode", exportOf(shSetImeMode)}}},
    };
}

} // namespace platform

DWORD ReadCpuIdRegister()
{
    return platform::coreSettings().cpuId;
}

#include "platform/modules/BuiltinModules.h"

#include "platform/aygshell.h"
#include "platform/sysinfo.h"
#include "platform/window/WindowSystem.h"

namespace platform {

namespace {

BOOL& allKeysFlag()
{
    static BOOL all = FALSE;
    return all;
}

BOOL allKeys(BOOL all)
{
    BOOL previous = allKeysFlag();
    allKeysFlag() = all;
    return previous;
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
          {"SetKMode", exportOf(&::SetKMode)},
          {"ChangeDisplaySettingsEx", exportOf(&::ChangeDisplaySettingsEx)}}},
        {"aygshell.dll",
         {{"SHFullScreen", exportOf(shFullScreen)}, {"SHSetImeMode", exportOf(shSetImeMode)}}},
    };
}

BOOL allKeysState()
{
    return allKeysFlag();
}

void resetAllKeysState()
{
    allKeysFlag() = FALSE;
}

} // namespace platform

#include "lang/DSystem.h"
#include "platform/modules.h"
#include "platform/registry.h"

#include "platform/ProgramFolder.h"
#include "platform/clock.h"
#include "platform/sysinfo.h"

#include <string>
#include <vector>

namespace qev::lang {

namespace {

std::u16string platformType()
{
    char16_t buffer[64] = {};
    if (!SystemParametersInfoW(SPI_GETPLATFORMTYPE, sizeof buffer, buffer, 0))
        return std::u16string();
    return buffer;
}

// A touch screen without the platform saying so: the touch driver named in the registry can be
// loaded (and is let go again at once).
bool touchDriverPresent()
{
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, u"HARDWARE\\DEVICEMAP\\TOUCH", 0, 0, &key) !=
        ERROR_SUCCESS)
        return false;
    WCHAR name[256] = {};
    DWORD size = sizeof name - sizeof(WCHAR); // room kept for a terminator the value may lack
    DWORD type = 0;
    LONG result =
        RegQueryValueExW(key, u"DriverName", nullptr, &type, reinterpret_cast<LPBYTE>(name), &size);
    RegCloseKey(key);
    if (result != ERROR_SUCCESS || type != REG_SZ)
        return false;
    HMODULE driver = LoadLibraryW(name);
    if (!driver)
        return false;
    FreeLibrary(driver);
    return true;
}

} // namespace

DStringPtr DSystem::getProperty(DStringPtr key)
{
    if (!key)
        return nullptr;
    if (key->equals(u"file.separator"))
        return DStringPtr(u"\\");
    if (key->equals(u"app.fullpath")) {
        return DStringPtr(platform::programFolder().c_str());
    }
    if (key->equals(u"archive.name"))
        return DStringPtr(u"game.dat");
    if (key->equals(u"archive.password"))
        return DStringPtr(u"");
    if (key->equals(u"platform.string"))
        return DStringPtr(platformType().c_str());
    return nullptr;
}

int32_t DSystem::getIntProperty(DStringPtr key)
{
    if (!key)
        return -1;
    struct Fixed
    {
        const char16_t* key;
        int32_t value;
    };
    static const Fixed fixed[] = {
        {u"platform.type", 2},       {u"input.qwerty", -1},
        {u"input.mouse", 0},         {u"sound.stereo", 1},
        {u"sound.bps", 16},          {u"sound.frequency", 44100},
        {u"sound.sfx_channels", 32}, {u"sound.music_channels", 16},
        {u"platform.browser", 1},
    };
    if (key->equals(u"input.touchscreen"))
        return platformType() == u"PocketPC" || touchDriverPresent() ? 1 : 0;
    if (key->equals(u"input.softkeys"))
        return platformType() == u"SmartPhone" ? 1 : 0;
    for (const Fixed& f : fixed) {
        if (key->equals(f.key))
            return f.value;
    }
    return -1;
}

int64_t DSystem::currentTimeMillis()
{
    return platform::monotonicMillis();
}

} // namespace qev::lang

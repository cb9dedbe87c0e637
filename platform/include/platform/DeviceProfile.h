// The emulated handheld: one settings object read once at start. The built-in defaults are the
// real run; developers override them through environment variables; tests change the object
// returned by DeviceProfile::current() directly and call reset() afterwards.
//
// Environment variables (read on first use of current(); a malformed value is ignored with a
// warning on stderr; numbers are plain decimal digits, the whole text):
//   PH_SCREEN_WIDTH, PH_SCREEN_HEIGHT  screen size in pixels (default 240 x 320)
//   PH_SCALE                           integer window scale factor, 1..16 (default: the
//                                      largest up to 2 whose window fits the desktop)
//   PH_WINDOW_BACKEND                  "sdl", "headless" or "script" (default sdl); "script"
//                                      plays PH_SCRIPT on the headless backend
//   PH_INSTANCE_NAMESPACE              name of the group of instances that find each other's
//                                      windows (letters, digits, '.', '_', '-'; default: the
//                                      player's own; headless and scripted runs a private one)
//   PH_BITSPIXEL                       colour depth of the screen DC (default 16)
//   PH_LOGPIXELSY                      vertical dots per inch (default 96)
//   PH_PLATFORM_TYPE                   SPI_GETPLATFORMTYPE text (default "PocketPC"); a text
//                                      other than PocketPC or SmartPhone is kept with a warning
//   PH_OEM_INFO                        SPI_GETOEMINFO text (default "Linux SDL host")
//   PH_CPU_ID                          main ID register value, decimal or 0x hex (default 0)
//   PH_PROGRAM_FILE                    full POSIX name reported as the program's file
//   PH_DATA_DIR                        program folder: the program file becomes
//                                      PH_DATA_DIR/pallasterhorn (PH_PROGRAM_FILE wins)
//   PH_REGISTRY                        registry database file, a plain path; empty is unset
//                                      (default $XDG_DATA_HOME/pallasterhorn/registry.sqlite)
//   PH_CLOCK                           "real" or "fake" (default real)
//   PH_AUDIO                           "sdl" or "manual" (default sdl)
//   PH_MESSAGE_BOXES                   "show" or "record" (default show)
//   PH_MAPI                            "1" makes MAPI available (default unavailable)
//   PH_ORIENTATION                     dmOrientation answer of the display-settings test query
//                                      (default 0: left as the caller set it)
#pragma once

#include "platform/wintypes.h"

#include <atomic>
#include <functional>
#include <string>
#include <vector>

namespace platform {

// The profile's choices, one enum each; DeviceProfile.cpp holds each one's names.
enum class ClockMode { Real, Fake };
enum class WindowMode { Sdl, Headless, Script };
enum class AudioMode { Sdl, Manual };
enum class MessageBoxMode { Shown, Recorded };

// The clock choice is read by every timed wait of every thread while a test may change or reset
// the profile: the one field kept atomic.
class ClockSetting
{
  public:
    ClockSetting(ClockMode mode = ClockMode::Real) : m_mode(mode) {}
    ClockSetting(const ClockSetting& other) : m_mode(other.m_mode.load()) {}
    ClockSetting& operator=(const ClockSetting& other)
    {
        m_mode = other.m_mode.load();
        return *this;
    }
    ClockSetting& operator=(ClockMode mode)
    {
        m_mode = mode;
        return *this;
    }
    operator ClockMode() const { return m_mode.load(); }

  private:
    std::atomic<ClockMode> m_mode;
};

class DeviceProfile
{
  public:
    // Screen.
    int screenWidth = 240;
    int screenHeight = 320;
    // Desktop pixels per screen pixel: the most a new window takes when it fits the desktop,
    // or, when chosen (PH_SCALE), exactly this.
    int scale = 2;
    bool scaleChosen = false;
    WindowMode windowBackend = WindowMode::Sdl;
    // Empty: the default group (a real run) or, headless, a group of this process alone.
    std::string instanceNamespace;
    int bitsPerPixel = 16;
    int logPixelsY = 96;

    // Identity.
    std::u16string platformType = u"PocketPC";
    std::u16string oemInfo = u"Linux SDL host";
    DWORD cpuId = 0;

    // A touch-screen driver registered under HKEY_LOCAL_MACHINE. Which libraries load and which
    // escapes the screen DC answers is up to the module table and the device simulations, which
    // tests switch on one by one.
    bool touchDriver = false;

    // Program file as a POSIX path; empty means the executable's real path.
    std::string programFile;
    // Largest buffer GetModuleFileNameW pretends to have (0: the caller's size); lets tests
    // force the truncation path.
    DWORD moduleNameLimit = 0;
    std::string registryPath;
    // True when PH_REGISTRY named the file; scripted and headless runs otherwise keep away from
    // the player's records.
    bool registryGiven = false;

    ClockSetting clock = ClockMode::Real;
    AudioMode audio = AudioMode::Sdl;
    MessageBoxMode messageBoxes = MessageBoxMode::Shown;
    bool mapiAvailable = false;
    // Written into dmOrientation by the CDS_TEST query when not 0.
    short orientationAnswer = 0;

    // The process-wide profile: defaults plus the environment on first use.
    static DeviceProfile& current();
    // Back to the built-in defaults (the environment is not read again), also resetting the
    // fake clock and the file fault injection.
    static void reset();

    // Applies the variables listed above, looked up through `lookup` (getenv in the real run).
    // Returns the warnings for malformed values.
    std::vector<std::string>
    applyEnvironment(const std::function<const char*(const char*)>& lookup);

    static std::string defaultRegistryPath(const std::function<const char*(const char*)>& lookup);
};

} // namespace platform

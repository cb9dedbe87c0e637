// One reset returns the whole emulated device to a fresh process's state.
#include "DeviceFixture.h"
#include "platform/clock.h"
#include "platform/modules.h"
#include "platform/modules/ModuleTable.h"
#include "platform/sim/GapiSimulation.h"
#include "platform/sim/MapiSimulation.h"
#include "platform/testing/FakeClock.h"
#include "platform/testing/ThreadFaults.h"
#include "platform/threads.h"
#include "platform/waveout.h"
#include "platform/window/WindowSystem.h"

#include <gtest/gtest.h>

using platform::EmulatedDevice;
using platform::ModuleTable;

namespace {

using EmulatedDeviceReset = DeviceTest;

LRESULT plainProc(HWND w, UINT m, WPARAM wp, LPARAM lp)
{
    return DefWindowProcW(w, m, wp, lp);
}

} // namespace

TEST_F(EmulatedDeviceReset, EverySettingSimulationAndSwitchComesBack)
{
    // Dirty every part of the device a test can touch.
    profile().screenWidth = 480;
    profile().clock = platform::ClockMode::Fake;
    platform::FakeClock::freeze(5000);
    platform::WindowSystem::setScale(5);
    platform::DeviceProfile::current().audio = platform::AudioMode::Manual;
    platform::sim::GapiSimulation::install({});
    platform::sim::MapiSimulation::install({});
    platform::sim::MapiSimulation::setSmsLibraryPresent(true);
    ASSERT_EQ(S_OK, MAPIInitialize(nullptr));
    MAPIUninitialize();
    ModuleTable::setPresent("aygshell.dll", false);
    ModuleTable::removeExport("coredll.dll", "AllKeys");
    platform::setMutexCreationFails(true);
    platform::WindowSystem::useHeadless();
    WNDCLASSW wc{};
    wc.lpfnWndProc = plainProc;
    wc.lpszClassName = u"Dirty";
    ASSERT_NE(RegisterClassW(&wc), 0);
    ASSERT_NE(
        CreateWindowExW(0, u"Dirty", u"", 0, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr),
        nullptr);

    EmulatedDevice::reset();

    EXPECT_EQ(profile().screenWidth, 240);
    EXPECT_FALSE(platform::clockIsFake());
    EXPECT_EQ(platform::FakeClock::peekMicros(), 0);
    EXPECT_EQ(platform::WindowSystem::scale(), 2);
    EXPECT_EQ(platform::DeviceProfile::current().audio, platform::AudioMode::Sdl);
    EXPECT_FALSE(ModuleTable::isPresent("gx.dll"));
    EXPECT_FALSE(ModuleTable::isPresent("sms.dll"));
    EXPECT_FALSE(platform::sim::MapiSimulation::installed());
    EXPECT_EQ(0, platform::sim::MapiSimulation::counters().initializes);
    EXPECT_EQ(E_FAIL, MAPIInitialize(nullptr)); // no messaging system in a fresh process
    EXPECT_TRUE(ModuleTable::isPresent("aygshell.dll"));
    HMODULE coredll = LoadLibraryW(u"coredll.dll");
    ASSERT_NE(coredll, nullptr);
    EXPECT_NE(GetProcAddressW(coredll, u"AllKeys"), nullptr);
    FreeLibrary(coredll);
    EXPECT_EQ(ModuleTable::loadCount("coredll.dll"), 0);
    HANDLE m = CreateMutexW(nullptr, FALSE, nullptr);
    EXPECT_NE(m, nullptr);
    CloseHandle(m);
    EXPECT_EQ(platform::WindowSystem::windowCount(), 0u);
    EXPECT_NE(RegisterClassW(&wc), 0); // the class was forgotten
}

TEST_F(EmulatedDeviceReset, ResetsAddedByUpperLayersRunWithIt)
{
    static int runs = 0;
    static int widthSeen = 0;
    runs = 0;
    // The added reset runs before the platform's own part, while the device is still as the
    // test left it.
    EmulatedDevice::addReset([] {
        ++runs;
        widthSeen = platform::EmulatedDevice::profile().screenWidth;
    });
    profile().screenWidth = 320;
    EmulatedDevice::reset();
    EXPECT_EQ(runs, 1);
    EXPECT_EQ(widthSeen, 320);
    EmulatedDevice::reset();
    EXPECT_EQ(runs, 2);
    EXPECT_EQ(widthSeen, 240);
}

// What the emulated handheld answers comes from the one device profile: the screen DC's
// capabilities, the built-in coredll entries, the window backend and scale, message boxes.
#include "TestDevice.h"

#include "platform/DeviceProfile.h"
#include "platform/gdi.h"
#include "platform/modules.h"
#include "platform/modules/BuiltinModules.h"
#include "platform/sysinfo.h"
#include "platform/window/WindowSystem.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

namespace {

class ProfileTest : public ::testing::Test
{
  protected:
    void SetUp() override { backend = &testdevice::reset(); }
    void TearDown() override { testdevice::reset(); }

    platform::DeviceProfile& profile() { return platform::DeviceProfile::current(); }

    platform::HeadlessBackend* backend = nullptr;
};

TEST_F(ProfileTest, TheScreenDcReportsTheProfilesScreen)
{
    profile().screenWidth = 480;
    profile().screenHeight = 640;
    profile().bitsPerPixel = 32;
    profile().logPixelsY = 192;
    HDC screen = GetDC(nullptr);
    ASSERT_NE(screen, nullptr);
    EXPECT_EQ(GetDeviceCaps(screen, HORZRES), 480);
    EXPECT_EQ(GetDeviceCaps(screen, VERTRES), 640);
    EXPECT_EQ(GetDeviceCaps(screen, BITSPIXEL), 32);
    EXPECT_EQ(GetDeviceCaps(screen, LOGPIXELSY), 192);
    ReleaseDC(nullptr, screen);

    platform::DeviceProfile::reset();
    screen = GetDC(nullptr);
    EXPECT_EQ(GetDeviceCaps(screen, BITSPIXEL), 16);
    EXPECT_EQ(GetDeviceCaps(screen, LOGPIXELSY), 96);
    ReleaseDC(nullptr, screen);
}

TEST_F(ProfileTest, TheBuiltInCoredllAnswersFromTheProfile)
{
    HMODULE core = LoadLibraryW(u"coredll.dll");
    ASSERT_NE(core, nullptr);
    auto change = reinterpret_cast<ChangeDisplaySettingsExProc>(
        GetProcAddressW(core, u"ChangeDisplaySettingsEx"));
    auto allKeys = reinterpret_cast<AllKeysProc>(GetProcAddressW(core, u"AllKeys"));
    auto kmode = reinterpret_cast<SetKModeProc>(GetProcAddressW(core, u"SetKMode"));
    ASSERT_NE(change, nullptr);
    ASSERT_NE(allKeys, nullptr);
    ASSERT_NE(kmode, nullptr);

    // The orientation query leaves the caller's value unless the profile answers one.
    DEVMODEW mode{};
    mode.dmSize = sizeof mode;
    mode.dmFields = DM_DISPLAYORIENTATION;
    mode.dmOrientation = 0;
    EXPECT_EQ(change(nullptr, &mode, nullptr, CDS_TEST, nullptr), DISP_CHANGE_SUCCESSFUL);
    EXPECT_EQ(mode.dmOrientation, 0);
    profile().orientationAnswer = 2;
    EXPECT_EQ(change(nullptr, &mode, nullptr, CDS_TEST, nullptr), DISP_CHANGE_SUCCESSFUL);
    EXPECT_EQ(mode.dmOrientation, 2);

    EXPECT_EQ(allKeys(TRUE), FALSE);
    EXPECT_EQ(platform::allKeysState(), TRUE);
    EXPECT_EQ(allKeys(FALSE), TRUE);

    BOOL was = kmode(TRUE);
    EXPECT_EQ(kmode(was), TRUE);

    profile().cpuId = 0x69052100;
    EXPECT_EQ(ReadMainIdRegister(), 0x69052100u);
    FreeLibrary(core);
}

TEST_F(ProfileTest, TheWindowBackendAndScaleComeFromTheProfile)
{
    std::map<std::string, std::string> env = {{"PH_WINDOW_BACKEND", "headless"}, {"PH_SCALE", "3"}};
    platform::DeviceProfile p;
    auto warnings = p.applyEnvironment([&](const char* n) -> const char* {
        auto it = env.find(n);
        return it == env.end() ? nullptr : it->second.c_str();
    });
    EXPECT_TRUE(warnings.empty());
    EXPECT_EQ(p.windowBackend, platform::WindowMode::Headless);
    EXPECT_EQ(p.scale, 3);
    env["PH_WINDOW_BACKEND"] = "x11";
    EXPECT_EQ(p.applyEnvironment([&](const char* n) -> const char* {
                   auto it = env.find(n);
                   return it == env.end() ? nullptr : it->second.c_str();
               }).size(),
              1u);
    EXPECT_EQ(p.windowBackend, platform::WindowMode::Headless); // kept

    profile().scale = 5;
    EXPECT_EQ(platform::WindowSystem::scale(), 5);

    // With no backend installed, a headless profile never opens a desktop window.
    platform::WindowSystem::setBackend(nullptr);
    profile().windowBackend = platform::WindowMode::Headless;
    EXPECT_NE(dynamic_cast<platform::HeadlessBackend*>(&platform::WindowSystem::backend()),
              nullptr);
}

TEST_F(ProfileTest, RecordedMessageBoxesNeverReachTheDesktop)
{
    profile().messageBoxes = platform::MessageBoxMode::Recorded;
    EXPECT_EQ(MessageBoxW(nullptr, u"Run - unknown exception!", u"Error!", MB_ICONERROR), IDOK);
    EXPECT_TRUE(backend->messageBoxes().empty());
    const auto& kept = platform::WindowSystem::recordedMessageBoxes();
    ASSERT_EQ(kept.size(), 1u);
    EXPECT_EQ(kept[0].caption, "Error!");
    EXPECT_EQ(kept[0].text, "Run - unknown exception!");
    EXPECT_TRUE(kept[0].error);
}

} // namespace

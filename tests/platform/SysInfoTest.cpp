#include "platform/sysinfo.h"
#include "DeviceFixture.h"

#include <gtest/gtest.h>

#include <cstring>

using SysInfo = DeviceTest;

TEST_F(SysInfo, ScreenMetricsComeFromTheProfile)
{
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 240);
    EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), 320);
    EXPECT_EQ(GetSystemMetrics(2), 0);
    profile().screenWidth = 480;
    profile().screenHeight = 640;
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 480);
    EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), 640);
}

TEST_F(SysInfo, ParameterTextsRespectTheBufferSizeInBytes)
{
    WCHAR buffer[260];
    ASSERT_TRUE(SystemParametersInfoW(SPI_GETPLATFORMTYPE, sizeof buffer, buffer, 0));
    EXPECT_EQ(std::u16string(buffer), u"PocketPC");
    ASSERT_TRUE(SystemParametersInfoW(SPI_GETOEMINFO, sizeof buffer, buffer, 0));
    EXPECT_EQ(std::u16string(buffer), u"Linux SDL host");

    // "PocketPC" needs 9 units = 18 bytes; 17 bytes is too small and nothing is written.
    WCHAR small[16];
    std::memset(small, 0x55, sizeof small);
    EXPECT_TRUE(SystemParametersInfoW(SPI_GETPLATFORMTYPE, 18, small, 0));
    std::memset(small, 0x55, sizeof small);
    EXPECT_FALSE(SystemParametersInfoW(SPI_GETPLATFORMTYPE, 17, small, 0));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INSUFFICIENT_BUFFER));
    EXPECT_EQ(small[0], 0x5555);

    // A caller that passes a count of characters gets half its buffer, never an overflow:
    // 260 "characters" hold at most 129 units of text.
    profile().oemInfo = std::u16string(200, u'o');
    EXPECT_FALSE(SystemParametersInfoW(SPI_GETOEMINFO, 260, buffer, 0));
    profile().oemInfo = std::u16string(129, u'o');
    EXPECT_TRUE(SystemParametersInfoW(SPI_GETOEMINFO, 260, buffer, 0));
    EXPECT_EQ(std::u16string(buffer).size(), 129u);

    profile().platformType = u"SmartPhone";
    ASSERT_TRUE(SystemParametersInfoW(SPI_GETPLATFORMTYPE, sizeof buffer, buffer, 0));
    EXPECT_EQ(std::u16string(buffer), u"SmartPhone");

    EXPECT_FALSE(SystemParametersInfoW(SPI_GETPLATFORMTYPE, sizeof buffer, nullptr, 0));
    EXPECT_FALSE(SystemParametersInfoW(42, sizeof buffer, buffer, 0));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
}

TEST_F(SysInfo, OrientationQueryLeavesTheCallersValueUnlessAnswered)
{
    DEVMODEW mode{};
    mode.dmSize = sizeof mode;
    mode.dmFields = DM_DISPLAYORIENTATION;
    mode.dmDisplayOrientation = 77;
    EXPECT_EQ(ChangeDisplaySettingsEx(nullptr, &mode, nullptr, CDS_TEST, nullptr),
              DISP_CHANGE_SUCCESSFUL);
    EXPECT_EQ(mode.dmDisplayOrientation, DWORD(DMDO_0));
    EXPECT_EQ(mode.dmOrientation, 0);

    profile().orientationAnswer = 2;
    EXPECT_EQ(ChangeDisplaySettingsEx(nullptr, &mode, nullptr, CDS_TEST, nullptr),
              DISP_CHANGE_SUCCESSFUL);
    EXPECT_EQ(mode.dmOrientation, 2);

    // Without the field bit nothing is filled in; real changes and null modes are refused.
    DEVMODEW other{};
    other.dmOrientation = 5;
    other.dmDisplayOrientation = 9;
    EXPECT_EQ(ChangeDisplaySettingsEx(nullptr, &other, nullptr, CDS_TEST, nullptr),
              DISP_CHANGE_SUCCESSFUL);
    EXPECT_EQ(other.dmOrientation, 5);
    EXPECT_EQ(other.dmDisplayOrientation, 9u);
    EXPECT_EQ(ChangeDisplaySettingsEx(nullptr, &mode, nullptr, 0, nullptr), DISP_CHANGE_BADMODE);
    EXPECT_EQ(ChangeDisplaySettingsEx(nullptr, nullptr, nullptr, CDS_TEST, nullptr),
              DISP_CHANGE_BADPARAM);
}

TEST_F(SysInfo, IdRegisterAndKernelMode)
{
    EXPECT_EQ(ReadMainIdRegister(), 0u);
    profile().cpuId = 0x69052D06;
    EXPECT_EQ(ReadMainIdRegister(), 0x69052D06u);

    BOOL old = SetKMode(TRUE);
    EXPECT_EQ(SetKMode(old), TRUE);
    EXPECT_EQ(SetKMode(old), old);
}

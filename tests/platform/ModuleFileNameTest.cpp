#include "DeviceFixture.h"
#include "platform/crt.h"
#include "platform/files.h"

#include <gtest/gtest.h>

#include <string>

using ModuleFileName = DeviceTest;

TEST_F(ModuleFileName, RealExecutableMapsToBackslashes)
{
    WCHAR buffer[MAX_PATH];
    DWORD n = GetModuleFileNameW(nullptr, buffer, MAX_PATH);
    ASSERT_GT(n, 0u);
    ASSERT_LT(n, DWORD(MAX_PATH));
    std::u16string name(buffer, n);
    EXPECT_EQ(name[0], u'\\');
    EXPECT_EQ(name.find(u'/'), std::u16string::npos);
    EXPECT_EQ(name.substr(name.rfind(u'\\') + 1), u"platform_tests");
}

TEST_F(ModuleFileName, ProfileChoosesTheProgramFile)
{
    profile().programFile = "/opt/game/bin/pallasterhorn";
    WCHAR buffer[MAX_PATH];
    EXPECT_EQ(GetModuleFileNameW(nullptr, buffer, MAX_PATH), 27u);
    EXPECT_EQ(std::u16string(buffer), u"\\opt\\game\\bin\\pallasterhorn");
    EXPECT_EQ(platform::programFilePosix(), "/opt/game/bin/pallasterhorn");
}

TEST_F(ModuleFileName, TruncatesWithTerminatorAndReportsIt)
{
    profile().programFile = "/opt/game/pallasterhorn"; // 23 units
    WCHAR buffer[32];
    for (WCHAR& c : buffer)
        c = u'#';
    SetLastError(0);
    EXPECT_EQ(GetModuleFileNameW(nullptr, buffer, 10), 10u);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INSUFFICIENT_BUFFER));
    EXPECT_EQ(std::u16string(buffer), u"\\opt\\game");
    EXPECT_EQ(buffer[10], u'#'); // nothing past the buffer

    // Exactly the length: no room for the terminator.
    EXPECT_EQ(GetModuleFileNameW(nullptr, buffer, 23), 23u);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INSUFFICIENT_BUFFER));
    EXPECT_EQ(buffer[22], 0);
    SetLastError(0);
    EXPECT_EQ(GetModuleFileNameW(nullptr, buffer, 24), 23u);
    EXPECT_EQ(GetLastError(), DWORD(0));

    // The hook shrinks the buffer the call believes it has.
    profile().moduleNameLimit = 5;
    EXPECT_EQ(GetModuleFileNameW(nullptr, buffer, 32), 5u);
    EXPECT_EQ(std::u16string(buffer), u"\\opt");
    EXPECT_EQ(GetModuleFileNameW(nullptr, nullptr, 32), 0u);
    EXPECT_EQ(GetModuleFileNameW(nullptr, buffer, 0), 0u);
}

TEST_F(ModuleFileName, TooLongPathFailsCleanlyInAFixedBuffer)
{
    // A program folder deeper than 260 units: the caller's bounded copy refuses it whole.
    std::string deep = "/opt";
    while (deep.size() < 300)
        deep += "/folder";
    profile().programFile = deep + "/pallasterhorn";
    WCHAR buffer[MAX_PATH];
    EXPECT_EQ(GetModuleFileNameW(nullptr, buffer, MAX_PATH), DWORD(MAX_PATH));
    EXPECT_EQ(platform::wcsLength(buffer), size_t(MAX_PATH - 1));

    WCHAR path[MAX_PATH];
    std::u16string full(deep.size() + 14, u'x');
    EXPECT_FALSE(platform::wcsCopyBounded(path, MAX_PATH, full.c_str()));
    EXPECT_EQ(path[0], 0);
    std::u16string fits(MAX_PATH - 1, u'y');
    EXPECT_TRUE(platform::wcsCopyBounded(path, MAX_PATH, fits.c_str()));
    EXPECT_FALSE(platform::wcsAppendBounded(path, MAX_PATH, u"z"));
    EXPECT_EQ(std::u16string(path), fits); // unchanged on failure
}

TEST_F(ModuleFileName, FolderWithBackslashIsRefused)
{
    profile().programFile = "/home/odd\\name/pallasterhorn";
    std::string problem;
    EXPECT_FALSE(platform::checkProgramFile(&problem));
    EXPECT_NE(problem.find("backslash"), std::string::npos);
    WCHAR buffer[MAX_PATH] = {u'x'};
    EXPECT_EQ(GetModuleFileNameW(nullptr, buffer, MAX_PATH), 0u);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_NAME));
    EXPECT_EQ(buffer[0], 0);

    profile().programFile = "/opt/game/pallasterhorn";
    EXPECT_TRUE(platform::checkProgramFile(&problem));
    EXPECT_TRUE(problem.empty());
}

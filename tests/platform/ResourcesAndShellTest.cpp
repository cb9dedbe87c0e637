// Resources registered by the program and the web-address opener.
#include "TestDevice.h"

#include "TempFolder.h"

#include "platform/resources.h"
#include "platform/shell.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <sys/stat.h>

namespace {

class ResourcesAndShellTest : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        testdevice::reset();
        platform::Resources::clear();
    }
    void TearDown() override
    {
        platform::Resources::clear();
        platform::setUrlOpener(nullptr);
        testdevice::reset();
    }
};

TEST_F(ResourcesAndShellTest, StringsAreTruncatedToTheBuffer)
{
    platform::Resources::addString(101, u"Pallasterhorn");
    WCHAR buf[256];
    EXPECT_EQ(LoadStringW(nullptr, 101, buf, 256), 13);
    EXPECT_EQ(std::u16string(buf), u"Pallasterhorn");
    EXPECT_EQ(LoadStringW(nullptr, 101, buf, 5), 4);
    EXPECT_EQ(std::u16string(buf), u"Pall");
    EXPECT_EQ(LoadStringW(nullptr, 102, buf, 256), 0);
    EXPECT_EQ(buf[0], 0);
}

TEST_F(ResourcesAndShellTest, BitmapsAreNewGdiBitmapsWithTheirPixels)
{
    platform::Resources::addBitmap(101, 3, 2, {1, 2, 3, 4, 5, 6});
    HBITMAP b = LoadBitmapW(nullptr, MAKEINTRESOURCEW(101));
    ASSERT_NE(b, nullptr);
    BITMAP info{};
    ASSERT_NE(GetObjectW(b, sizeof info, &info), 0);
    EXPECT_EQ(info.bmWidth, 3);
    EXPECT_EQ(info.bmHeight, 2);
    const auto* row1 = reinterpret_cast<const uint16_t*>(static_cast<uint8_t*>(info.bmBits) + 8);
    EXPECT_EQ(row1[2], 6);
    EXPECT_TRUE(DeleteObject(b));
    EXPECT_EQ(LoadBitmapW(nullptr, MAKEINTRESOURCEW(7)), nullptr);
    platform::Resources::addIcon(103);
    EXPECT_NE(LoadIconW(nullptr, MAKEINTRESOURCEW(103)), nullptr);
    EXPECT_EQ(LoadCursorW(nullptr, MAKEINTRESOURCEW(104)), nullptr);
}

TEST_F(ResourcesAndShellTest, OnlyWebAddressesAreOpened)
{
    std::vector<std::string> opened;
    platform::setUrlOpener([&](const std::string& url) {
        opened.push_back(url);
        return true;
    });
    SHELLEXECUTEINFOW info{};
    info.cbSize = sizeof info;
    info.lpFile = u"https://example.org/game";
    EXPECT_TRUE(ShellExecuteExW(&info));
    info.lpFile = u"file:///etc/passwd";
    EXPECT_FALSE(ShellExecuteExW(&info));
    info.lpFile = u"http://x; rm -rf ~";
    EXPECT_FALSE(ShellExecuteExW(&info));
    EXPECT_EQ(opened, std::vector<std::string>{"https://example.org/game"});
    platform::setUrlOpener([](const std::string&) { return false; });
    info.lpFile = u"http://example.org";
    EXPECT_FALSE(ShellExecuteExW(&info));
}

// The real start through xdg-open, with stand-in programs found first on the PATH.
class BrowserStartTest : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        const char* path = std::getenv("PATH");
        m_savedPath = path ? path : "";
        platform::setUrlOpener(nullptr);
        // The xdg-open of these tests ends by itself: its status must count however long a
        // loaded machine takes to start it, so only the test of a browser that keeps running
        // sets a limit.
        platform::setBrowserWait(std::chrono::milliseconds::max());
    }
    void TearDown() override
    {
        setenv("PATH", m_savedPath.c_str(), 1);
        platform::setBrowserWait(std::chrono::milliseconds(1500));
    }

    // PATH holds only a folder whose xdg-open runs `body` (none when body is empty).
    void useXdgOpen(const std::string& body)
    {
        if (!body.empty()) {
            std::string file = m_folder.write("xdg-open", "#!/bin/sh\n" + body + "\n");
            chmod(file.c_str(), 0755);
        }
        setenv("PATH", m_folder.path().c_str(), 1);
    }

    BOOL open(const char16_t* url)
    {
        SHELLEXECUTEINFOW info{};
        info.cbSize = sizeof info;
        info.lpFile = url;
        return ShellExecuteExW(&info);
    }

    testsupport::TempFolder m_folder;
    std::string m_savedPath;
};

TEST_F(BrowserStartTest, TheAddressReachesXdgOpenAndItsStatusCounts)
{
    useXdgOpen("echo \"$1\" > \"${0%/*}/opened\"; exit 0");
    EXPECT_TRUE(open(u"https://example.org/a?b=c"));
    EXPECT_EQ(m_folder.read("opened"), "https://example.org/a?b=c\n");

    useXdgOpen("exit 3");
    EXPECT_FALSE(open(u"https://example.org/"));
}

TEST_F(BrowserStartTest, WithoutXdgOpenTheStartFails)
{
    useXdgOpen("");
    EXPECT_FALSE(open(u"https://example.org/"));
}

TEST_F(BrowserStartTest, ABrowserThatKeepsRunningDoesNotHoldTheCaller)
{
    useXdgOpen("exec /bin/sleep 5 </dev/null >/dev/null 2>&1");
    platform::setBrowserWait(std::chrono::milliseconds(300));
    auto start = std::chrono::steady_clock::now();
    EXPECT_TRUE(open(u"https://example.org/"));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(3));
}

} // namespace

// A bitmap shown in place by a window: presented without a copy, and still what the window's
// own pixels hold whenever they are looked at, drawn over or outlive the bitmap.
#include "DibInfo.h"
#include "TestDevice.h"

#include "platform/gdi.h"
#include "platform/gdi/GdiObjects.h"
#include "platform/window/WindowSystem.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <vector>

using platform::WindowSystem;

namespace {

class InPlacePresentTest : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        backend = &testdevice::reset();
        window = testdevice::createRecordingWindow();
        windowDC = GetDC(window);
        memoryDC = CreateCompatibleDC(windowDC);
    }
    void TearDown() override
    {
        for (HBITMAP b : bitmaps)
            DeleteObject(b);
        DeleteDC(memoryDC);
        ReleaseDC(window, windowDC);
        testdevice::reset();
    }

    // A top-down RGB565 DIB of the window's size, filled with `colour`.
    uint16_t* frame(HBITMAP& bitmap, uint16_t colour, int width = 240, int height = 320)
    {
        BITMAPINFO bi = dibInfo(width, -height, 16);
        void* bits = nullptr;
        bitmap = CreateDIBSection(windowDC, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
        bitmaps.push_back(bitmap);
        auto* pixels = static_cast<uint16_t*>(bits);
        std::fill(pixels, pixels + width * height, colour);
        return pixels;
    }

    void present(HBITMAP bitmap, int x, int y, int width, int height)
    {
        SelectObject(memoryDC, bitmap);
        ASSERT_TRUE(BitBlt(windowDC, x, y, width, height, memoryDC, x, y, SRCCOPY));
    }

    uint16_t shown(int x, int y) { return (*WindowSystem::backingStore(window))[y * 240 + x]; }

    platform::HeadlessBackend* backend = nullptr;
    HWND window = nullptr;
    HDC windowDC = nullptr;
    HDC memoryDC = nullptr;
    std::vector<HBITMAP> bitmaps;
};

TEST_F(InPlacePresentTest, AWholeFrameIsShownAndKeptThroughPartialCopiesAndDeletion)
{
    HBITMAP back = nullptr;
    uint16_t* pixels = frame(back, 0x1111);
    EXPECT_FALSE(platform::gdi::presentInPlace(nullptr));
    ASSERT_TRUE(platform::gdi::presentInPlace(back));
    const int before = backend->presentCount(window);
    present(back, 0, 0, 240, 320);
    EXPECT_EQ(backend->presentCount(window), before + 1);
    EXPECT_EQ(shown(0, 0), 0x1111);
    EXPECT_EQ(shown(239, 319), 0x1111);

    // A second frame; then a copy of part of another bitmap keeps the rest of that frame.
    std::fill(pixels, pixels + 240 * 320, 0x2222);
    present(back, 0, 0, 240, 320);
    HBITMAP other = nullptr;
    frame(other, 0x3333);
    present(other, 10, 20, 5, 5);
    EXPECT_EQ(shown(12, 22), 0x3333);
    EXPECT_EQ(shown(0, 0), 0x2222);
    EXPECT_EQ(shown(239, 319), 0x2222);

    // Deleting the bitmap shown in place leaves its last frame in the window.
    present(back, 0, 0, 240, 320);
    ASSERT_TRUE(DeleteObject(back));
    bitmaps.erase(bitmaps.begin());
    EXPECT_EQ(shown(12, 22), 0x2222);
    EXPECT_EQ(shown(100, 100), 0x2222);
}

TEST_F(InPlacePresentTest, OtherBitmapsAndPartsAreCopied)
{
    // Without presentInPlace, and a bitmap in place but of another size or only partly copied:
    // the window has its own copy, which later drawing into the bitmap does not change.
    HBITMAP plain = nullptr;
    uint16_t* plainPixels = frame(plain, 0x4444);
    present(plain, 0, 0, 240, 320);
    plainPixels[0] = 0x5555;
    EXPECT_EQ(shown(0, 0), 0x4444);

    HBITMAP small = nullptr;
    uint16_t* smallPixels = frame(small, 0x6666, 120, 160);
    ASSERT_TRUE(platform::gdi::presentInPlace(small));
    present(small, 0, 0, 120, 160);
    smallPixels[0] = 0x7777;
    EXPECT_EQ(shown(0, 0), 0x6666);
    EXPECT_EQ(shown(200, 200), 0x4444);

    HBITMAP part = nullptr;
    uint16_t* partPixels = frame(part, 0x0F0F);
    ASSERT_TRUE(platform::gdi::presentInPlace(part));
    present(part, 0, 0, 240, 100);
    partPixels[0] = 0x7777;
    EXPECT_EQ(shown(0, 0), 0x0F0F);
    EXPECT_EQ(shown(200, 150), 0x4444);
}

} // namespace

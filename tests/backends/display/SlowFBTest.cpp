// SlowFB over a MediaQ frame: a full copy first, then only the words that changed.
#include "TestDevice.h"

#include "display/MediaQ.h"
#include "display/SlowFB.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

using namespace ScreenHAL;

namespace {

class SlowFBTest : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        testdevice::reset();
        window = testdevice::createRecordingWindow();
        frame.assign(64 * 32, 0);
        record = DetectionRecord{64, 32, 16, 128, 0, 0, reinterpret_cast<uintptr_t>(frame.data())};
    }
    void TearDown() override { testdevice::reset(); }

    std::unique_ptr<SlowFB> make(int swapEffect)
    {
        auto slow = std::make_unique<SlowFB>(std::make_unique<MediaQ>());
        if (!slow->Initialize(window, DisplayParams{64, 32, 0, swapEffect}, record))
            return nullptr;
        return slow;
    }

    void draw(Surface& s, uint16_t seed)
    {
        for (int y = 0; y < s.height; ++y)
            for (int x = 0; x < s.width; ++x)
                *pixelAt(s, x, y) = static_cast<uint16_t>(seed + x * 3 + y * 101);
    }

    HWND window = nullptr;
    std::vector<uint16_t> frame;
    DetectionRecord record;
};

TEST_F(SlowFBTest, AnIdenticalFrameWritesNothingAfterTheFirstFullCopy)
{
    auto slow = make(1);
    ASSERT_NE(slow, nullptr);
    ASSERT_TRUE(slow->ramMode());
    EXPECT_EQ(slow->swapKind, 1);
    Surface* a = slow->Lock();
    draw(*a, 5);
    slow->Present(0);
    EXPECT_EQ(frame[3 * 64 + 7], static_cast<uint16_t>(5 + 7 * 3 + 3 * 101));

    // Marks in the frame buffer survive unless their word changes.
    frame[10 * 64 + 10] = 0xDEAD;
    frame[20 * 64 + 20] = 0xDEAD;
    Surface* b = slow->Lock();
    EXPECT_NE(b, a);
    draw(*b, 5);
    slow->Present(0);
    EXPECT_EQ(frame[10 * 64 + 10], 0xDEAD);

    Surface* c = slow->Lock();
    draw(*c, 5);
    *pixelAt(*c, 20, 20) = 0x1234;
    slow->Present(0);
    EXPECT_EQ(frame[20 * 64 + 20], 0x1234);
    EXPECT_EQ(frame[10 * 64 + 10], 0xDEAD);
}

TEST_F(SlowFBTest, ResumeAndTheFullFlagRewriteTheWholeFrame)
{
    auto slow = make(1);
    ASSERT_NE(slow, nullptr);
    draw(*slow->Lock(), 1);
    slow->Present(0);
    draw(*slow->Lock(), 1);
    slow->Present(0);
    frame[0] = 0xDEAD;
    slow->Resume();
    draw(*slow->Lock(), 1);
    slow->Present(0);
    EXPECT_EQ(frame[0], 1);
    frame[0] = 0xDEAD;
    draw(*slow->Lock(), 1);
    slow->Present(kPresentFullCopy);
    EXPECT_EQ(frame[0], 1);
}

TEST_F(SlowFBTest, CopySwapKeepsBothRamFramesEqual)
{
    auto slow = make(2);
    ASSERT_NE(slow, nullptr);
    EXPECT_EQ(slow->swapKind, 2);
    Surface* a = slow->Lock();
    draw(*a, 9);
    slow->Present(0);
    Surface* b = slow->Lock();
    // With the copy effect the new back frame already holds what was presented.
    EXPECT_EQ(*pixelAt(*b, 40, 30), *pixelAt(*a, 40, 30));
    *pixelAt(*b, 1, 1) = 0x4242;
    slow->Present(0);
    EXPECT_EQ(frame[1 * 64 + 1], 0x4242);
    EXPECT_EQ(*pixelAt(*slow->Lock(), 1, 1), 0x4242);
}

TEST_F(SlowFBTest, TheBandLimitsTheComparedRows)
{
    auto slow = make(1);
    ASSERT_NE(slow, nullptr);
    draw(*slow->Lock(), 2);
    slow->Present(0);
    slow->SetUpdateRect(Rect{0, 4, 64, 8});
    Surface* s = slow->Lock();
    draw(*s, 2);
    *pixelAt(*s, 0, 5) = 0x1111;  // inside the band
    *pixelAt(*s, 0, 20) = 0x2222; // outside
    slow->Present(0);
    EXPECT_EQ(frame[5 * 64], 0x1111);
    EXPECT_NE(frame[20 * 64], 0x2222);
}

TEST_F(SlowFBTest, ABandNotInWholeBlocksIsWidenedToEvenRows)
{
    // 48 pixels: rows of 96 bytes, a frame of 48 blocks. One row is 1.5 blocks, so row 3 alone
    // becomes the even pair of rows 2 and 3: bytes 192 to 383, three blocks.
    frame.assign(48 * 32, 0);
    record = DetectionRecord{48, 32, 16, 96, 0, 0, reinterpret_cast<uintptr_t>(frame.data())};
    auto slow = make(1);
    ASSERT_NE(slow, nullptr);
    ASSERT_TRUE(slow->ramMode());
    draw(*slow->Lock(), 4);
    slow->Present(0);
    draw(*slow->Lock(), 4);
    slow->Present(0);

    slow->SetUpdateRect(Rect{0, 3, 48, 4});
    Surface* s = slow->Lock();
    draw(*s, 4);
    *pixelAt(*s, 5, 2) = 0x5151;
    *pixelAt(*s, 40, 3) = 0x5252;
    *pixelAt(*s, 5, 4) = 0x5353;
    *pixelAt(*s, 47, 1) = 0x5454;
    slow->Present(0);
    EXPECT_EQ(frame[2 * 48 + 5], 0x5151);
    EXPECT_EQ(frame[3 * 48 + 40], 0x5252);
    EXPECT_NE(frame[4 * 48 + 5], 0x5353);
    EXPECT_NE(frame[1 * 48 + 47], 0x5454);
}

TEST_F(SlowFBTest, InsideOutOrPartlyOutsideRectanglesStayWithinTheFrame)
{
    auto slow = make(1);
    ASSERT_NE(slow, nullptr);
    draw(*slow->Lock(), 2);
    slow->Present(0);

    // Bottom above top: no row is compared, nothing is written.
    slow->SetUpdateRect(Rect{0, 20, 64, 10});
    Surface* s = slow->Lock();
    draw(*s, 7);
    slow->Present(0);
    EXPECT_EQ(frame[15 * 64 + 3], static_cast<uint16_t>(2 + 3 * 3 + 15 * 101));

    // Starting above the frame: rows 0 and 1 (two rows of 128 bytes, four blocks).
    slow->SetUpdateRect(Rect{0, -4, 64, 2});
    s = slow->Lock();
    draw(*s, 2);
    *pixelAt(*s, 9, 1) = 0x3333;
    *pixelAt(*s, 9, 2) = 0x4444;
    slow->Present(0);
    EXPECT_EQ(frame[1 * 64 + 9], 0x3333);
    EXPECT_NE(frame[2 * 64 + 9], 0x4444);
}

TEST_F(SlowFBTest, AFrameNotInWholeBlocksIsPassedThrough)
{
    frame.assign(62 * 31, 0);
    record = DetectionRecord{62, 31, 16, 124, 0, 0, reinterpret_cast<uintptr_t>(frame.data())};
    auto slow = make(1);
    ASSERT_NE(slow, nullptr);
    EXPECT_FALSE(slow->ramMode());
    Surface* s = slow->Lock();
    EXPECT_EQ(s->pixels, static_cast<void*>(frame.data()));
}

} // namespace

// Rotation of an asymmetric frame into GAPI frames of all four orientations, and the update
// rectangle mapping.
#include "TestDevice.h"

#include "display/Display.h"
#include "display/RotationDriver.h"

#include "platform/sim/EscapeSimulation.h"
#include "platform/sim/GapiSimulation.h"
#include "platform/window/WindowSystem.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <utility>
#include <vector>

using namespace ScreenHAL;
using namespace platform::sim;

namespace {

uint16_t pattern(int x, int y)
{
    return static_cast<uint16_t>((x * 7 + y * 311) ^ (y << 9));
}

// The device's upright view is 240 x 320; its memory may be laid out in any orientation, with
// one axis stepping one pixel.
GapiConfig layout(int orientation)
{
    GapiConfig c;
    switch (orientation) {
    case 0:
        c.cbxPitch = 2;
        c.cbyPitch = 480;
        break;
    case 1:
        c.cbxPitch = 640;
        c.cbyPitch = -2;
        break;
    case 2:
        c.cbxPitch = -2;
        c.cbyPitch = -480;
        break;
    default:
        c.cbxPitch = -640;
        c.cbyPitch = 2;
        break;
    }
    return c;
}

class RotationTest : public ::testing::TestWithParam<int>
{
  protected:
    void SetUp() override { testdevice::reset(); }
    void TearDown() override
    {
        if (display)
            Display::Destroy(display);
        testdevice::reset();
    }
    Display* display = nullptr;
};

TEST_P(RotationTest, AnUprightFrameReachesTheScreenTheRightWayRound)
{
    const int o = GetParam();
    GapiSimulation::install(layout(o));
    HWND w = testdevice::createRecordingWindow();
    DisplayParams p{240, 320, 0, 1};
    display = Display::Create(w, p);
    ASSERT_NE(display, nullptr);
    EXPECT_EQ(p.width, 240);
    EXPECT_EQ(p.height, 320);
    EXPECT_EQ(p.orientation, 0);
    auto* rotation = dynamic_cast<RotationDriver*>(display->driver());
    if (o == 0) {
        EXPECT_EQ(rotation, nullptr);
    } else {
        ASSERT_NE(rotation, nullptr);
        EXPECT_EQ(rotation->quarterTurns(), o);
    }
    for (int flags : {0, kPresentWaitScan}) {
        ASSERT_TRUE(display->BeginScene());
        Surface* back = display->GetBackBuffer();
        ASSERT_EQ(back->width, 240);
        for (int y = 0; y < 320; ++y)
            for (int x = 0; x < 240; ++x)
                *pixelAt(*back, x, y) = static_cast<uint16_t>(pattern(x, y) + flags);
        ASSERT_TRUE(display->EndScene(flags));
        for (int y = 0; y < 320; ++y)
            for (int x = 0; x < 240; ++x)
                ASSERT_EQ(GapiSimulation::pixel(x, y), static_cast<uint16_t>(pattern(x, y) + flags))
                    << "orientation " << o << " at " << x << "," << y;
    }
    EXPECT_TRUE(GapiSimulation::guardsIntact());
}

// The raw frame-buffer escape with both strides negative: the frame starts at its lowest pixel,
// and a half turn brings the upright frame onto it.
TEST(VgaRotationTest, NegativeStridesKeepTheFrameInsideItsMemory)
{
    testdevice::reset();
    std::vector<uint16_t> memory(240 * 320 + 2 * 64, 0xA5A5);
    uint16_t* low = memory.data() + 64;
    std::fill(low, low + 240 * 320, 0);
    uint16_t* origin = low + 240 * 320 - 1; // the upright view's pixel (0, 0)
    platform::sim::EscapeReplies& r = platform::sim::EscapeSimulation::replies();
    r.rawSupported = true;
    r.raw = RawFrameBufferInfo{FORMAT_565, 16, origin, -2, -480, 240, 320};
    HWND w = testdevice::createRecordingWindow();
    DisplayParams p{240, 320, 0, 1};
    Display* display = Display::Create(w, p);
    ASSERT_NE(display, nullptr);
    auto* rotation = dynamic_cast<RotationDriver*>(display->driver());
    ASSERT_NE(rotation, nullptr);
    EXPECT_EQ(rotation->quarterTurns(), 2);
    ASSERT_TRUE(display->BeginScene());
    Surface* back = display->GetBackBuffer();
    for (int y = 0; y < 320; ++y)
        for (int x = 0; x < 240; ++x)
            *pixelAt(*back, x, y) = pattern(x, y);
    ASSERT_TRUE(display->EndScene(0));
    for (int y = 0; y < 320; y += 3)
        for (int x = 0; x < 240; x += 3)
            ASSERT_EQ(*(origin - x - 240 * y), pattern(x, y)) << x << "," << y;
    for (int i = 0; i < 64; ++i) {
        ASSERT_EQ(memory[i], 0xA5A5);
        ASSERT_EQ(memory[memory.size() - 1 - i], 0xA5A5);
    }
    Display::Destroy(display);
    testdevice::reset();
}

TEST(GapiMirrorTest, TheGapiFrameCanBeSeenInTheWindow)
{
    testdevice::reset();
    HWND w = testdevice::createRecordingWindow();
    GapiConfig c = layout(3);
    c.mirrorWindow = w;
    GapiSimulation::install(c);
    DisplayParams p{240, 320, 0, 1};
    Display* display = Display::Create(w, p);
    ASSERT_NE(display, nullptr);
    ASSERT_TRUE(display->BeginScene());
    *pixelAt(*display->GetBackBuffer(), 200, 10) = 0xABCD;
    ASSERT_TRUE(display->EndScene(0));
    EXPECT_EQ((*platform::WindowSystem::backingStore(w))[10 * 240 + 200], 0xABCD);
    Display::Destroy(display);
    testdevice::reset();
}

TEST_P(RotationTest, APartialUpdateReachesOnlyItsTilesOfTheScreen)
{
    const int o = GetParam();
    GapiSimulation::install(layout(o));
    HWND w = testdevice::createRecordingWindow();
    DisplayParams p{240, 320, 0, 1};
    display = Display::Create(w, p);
    ASSERT_NE(display, nullptr);
    auto frame = [&](int seed) {
        ASSERT_TRUE(display->BeginScene());
        Surface* back = display->GetBackBuffer();
        for (int y = 0; y < 320; ++y)
            for (int x = 0; x < 240; ++x)
                *pixelAt(*back, x, y) = static_cast<uint16_t>(pattern(x, y) + seed);
        ASSERT_TRUE(display->EndScene(0));
    };
    frame(0);
    // Columns 10 to 49, rows 20 to 69 of the upright frame. Whatever the turn, the tiles that the
    // rotation copies lie within columns 0 to 63 and rows 16 to 79 of it.
    display->SetUpdateRect(Rect{10, 20, 50, 70});
    frame(1);
    for (int y = 20; y < 70; ++y)
        for (int x = 10; x < 50; ++x)
            ASSERT_EQ(GapiSimulation::pixel(x, y), static_cast<uint16_t>(pattern(x, y) + 1))
                << "orientation " << o << " at " << x << "," << y;
    if (o == 0)
        return; // drawn in place: the whole frame is the screen's at once
    for (auto [x, y] : {std::pair{200, 300}, std::pair{100, 40}, std::pair{30, 100},
                        std::pair{30, 5}, std::pair{70, 30}})
        EXPECT_EQ(GapiSimulation::pixel(x, y), pattern(x, y))
            << "orientation " << o << " at " << x << "," << y;
    EXPECT_TRUE(GapiSimulation::guardsIntact());
}

INSTANTIATE_TEST_SUITE_P(AllOrientations, RotationTest, ::testing::Values(0, 1, 2, 3));

TEST(RotationDriverTest, AHalfTurnPutsTheOriginInTheBottomRightCorner)
{
    SurfacePtr ram = makeRamSurface(32, 48);
    SurfacePtr inner = makeRamSurface(32, 48);
    for (int y = 0; y < 48; ++y)
        for (int x = 0; x < 32; ++x)
            *pixelAt(*ram, x, y) = 0, *pixelAt(*inner, x, y) = 0;
    *pixelAt(*ram, 0, 0) = 0xBEEF;
    for (bool xOuter : {true, false}) {
        RotationDriver::copyTurned(*inner, *ram, 2, Rect{0, 0, 32, 48}, xOuter);
        EXPECT_EQ(*pixelAt(*inner, 31, 47), 0xBEEF);
        EXPECT_EQ(*pixelAt(*inner, 0, 0), 0);
    }
}

TEST(RotationDriverTest, QuarterTurnsMapTheUpdateRectangleAndWidenItToTiles)
{
    testdevice::reset();
    GapiSimulation::install(layout(1));
    HWND w = testdevice::createRecordingWindow();
    DisplayParams p{240, 320, 0, 1};
    Display* display = Display::Create(w, p);
    ASSERT_NE(display, nullptr);
    auto* rotation = dynamic_cast<RotationDriver*>(display->driver());
    ASSERT_NE(rotation, nullptr);
    // Inner frame 320 x 240; r = 1: {Wi - bottom, left, Wi - top, right}.
    display->SetUpdateRect(Rect{10, 20, 50, 70});
    EXPECT_EQ(rotation->innerRect().left, 240);  // 320 - 70 = 250, down to 240
    EXPECT_EQ(rotation->innerRect().top, 0);     // 10 down to 0
    EXPECT_EQ(rotation->innerRect().right, 304); // 320 - 20 = 300, up to 304
    EXPECT_EQ(rotation->innerRect().bottom, 64); // 50 up to 64
    // GAPI hears the mapped rectangle in its rows.
    EXPECT_EQ(GapiSimulation::counters().lastViewport[1], 50u);
    Display::Destroy(display);
    testdevice::reset();
}

} // namespace

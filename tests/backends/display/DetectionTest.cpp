// Driver detection and selection on the simulated devices, end to end through Display::Create.
#include "TestDevice.h"

#include "display/DeviceInfo.h"
#include "display/Display.h"
#include "display/DisplayLog.h"
#include "display/DriverDirect.h"
#include "display/DriverTable.h"
#include "display/GAPI.h"
#include "display/GDIDriver.h"
#include "display/MediaQ.h"
#include "display/RotationDriver.h"
#include "display/SlowFB.h"
#include "display/VideoDetect.h"
#include "display/WindowSubclass.h"

#include "platform/EmulatedDevice.h"
#include "platform/clock.h"
#include "platform/modules/BuiltinModules.h"
#include "platform/modules/ModuleTable.h"
#include "platform/sim/EscapeSimulation.h"
#include "platform/sim/GapiSimulation.h"
#include "platform/testing/FakeClock.h"
#include "platform/window/WindowSystem.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <limits>
#include <vector>

using namespace ScreenHAL;
using namespace platform::sim;

namespace {

// Detection benchmarks the frame memory (MediaQ): on the fake clock its answer does not depend on
// how busy the machine is.
void freshDeviceOnTheFakeClock()
{
    testdevice::reset();
    platform::EmulatedDevice::profile().clock = platform::ClockMode::Fake;
}

class DetectionTest : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        freshDeviceOnTheFakeClock();
        DisplayLog::setSink([this](const std::string& l) { log.push_back(l); });
    }
    void TearDown() override
    {
        if (display)
            Display::Destroy(display);
        freshDeviceOnTheFakeClock();
    }

    Display* create(DisplayParams params = DisplayParams{240, 320, 0, 1})
    {
        window = testdevice::createRecordingWindow();
        display = Display::Create(window, params);
        got = params;
        return display;
    }

    bool logged(const std::string& line) const
    {
        return std::find(log.begin(), log.end(), line) != log.end();
    }

    std::vector<int> drivers() { return VideoDetect::instance(window).drivers(); }

    HWND window = nullptr;
    Display* display = nullptr;
    DisplayParams got;
    std::vector<std::string> log;
};

// A frame whose every pixel differs from its mirror images and turns.
uint16_t pattern(int x, int y)
{
    return static_cast<uint16_t>((x * 7 + y * 311) ^ (y << 9));
}

void drawPattern(Surface& s)
{
    for (int y = 0; y < s.height; ++y)
        for (int x = 0; x < s.width; ++x)
            *pixelAt(s, x, y) = pattern(x, y);
}

TEST_F(DetectionTest, TheDesktopGetsExactlyTheGdiDriverAndFlushesReachTheWindow)
{
    ASSERT_NE(create(), nullptr);
    EXPECT_EQ(drivers(), std::vector<int>{kDriverGDI});
    EXPECT_EQ(got.width, 240);
    EXPECT_EQ(got.height, 320);
    EXPECT_EQ(got.orientation, 0);
    EXPECT_EQ(got.swapEffect, 2);
    EXPECT_EQ(display->ramBuffer(), nullptr);
    EXPECT_NE(dynamic_cast<GDIDriver*>(display->driver()), nullptr);
    EXPECT_TRUE(logged("GAPI: GX.DLL not found"));
    EXPECT_TRUE(logged("DriverDirect: not supported"));
    EXPECT_TRUE(logged("MediaQ: not a MediaQ [1]"));
    EXPECT_EQ(platform::allKeysState(), TRUE);
    EXPECT_EQ(platform::WindowSystem::shellState(window), 0x2Au);

    ASSERT_TRUE(display->BeginScene());
    Surface* back = display->GetBackBuffer();
    ASSERT_NE(back, nullptr);
    drawPattern(*back);
    ASSERT_TRUE(display->EndScene(0));
    const std::vector<uint16_t>& store = *platform::WindowSystem::backingStore(window);
    for (int y = 0; y < 320; y += 7)
        for (int x = 0; x < 240; x += 5)
            ASSERT_EQ(store[y * 240 + x], pattern(x, y)) << x << "," << y;
}

TEST_F(DetectionTest, OrientationsFollowTheModeList)
{
    ASSERT_NE(create(DisplayParams{240, 320, 3, 1}), nullptr);
    EXPECT_EQ(got.width, 320); // a quarter turn of the GDI frame
    EXPECT_EQ(got.height, 240);
    EXPECT_EQ(got.orientation, 3);
    const auto& modes = VideoDetect::instance(window).modes();
    ASSERT_EQ(modes.size(), 4u);
    EXPECT_EQ(modes[1].width, 320);
    EXPECT_EQ(modes[1].orientation, 1);
}

TEST_F(DetectionTest, AScreenNotInSixteensAcceptsOnlyItsOwnOrientation)
{
    testdevice::setScreen(240, 318);
    ASSERT_EQ(create(DisplayParams{240, 318, 1, 1}), nullptr);
    EXPECT_TRUE(logged("Failed, destroying internal structures"));
    EXPECT_EQ(WindowSubclass::count(), 0); // nothing left hooked
    EXPECT_NE(GetWindowLongW(window, GWL_WNDPROC),
              reinterpret_cast<LONG_PTR>(&WindowSubclass::Procedure));
    EXPECT_EQ(VideoDetect::instance(window).modes().size(), 1u);
    DisplayParams native{240, 318, 4, 0};
    display = Display::Create(window, native);
    ASSERT_NE(display, nullptr);
    EXPECT_TRUE(logged("Swap effect forced to SWAP_DISCARD"));
    EXPECT_EQ(native.orientation, 0);
}

TEST_F(DetectionTest, GapiIsPreferredToGdiAndCopesWithAFailingBeginDraw)
{
    GapiSimulation::install(GapiConfig{});
    ASSERT_NE(create(), nullptr);
    EXPECT_EQ(drivers(), (std::vector<int>{kDriverGDI, kDriverGAPI}));
    EXPECT_NE(dynamic_cast<GAPI*>(display->driver()), nullptr);
    EXPECT_EQ(got.swapEffect, 2);
    EXPECT_EQ(GapiSimulation::counters().opens, 2); // probe and driver
    EXPECT_EQ(GapiSimulation::counters().closes, 1);

    ASSERT_TRUE(display->BeginScene());
    drawPattern(*display->GetBackBuffer());
    ASSERT_TRUE(display->EndScene(0));
    EXPECT_EQ(GapiSimulation::pixel(17, 33), pattern(17, 33));
    EXPECT_EQ(GapiSimulation::counters().endDraws, 2);

    GapiSimulation::config().beginDrawNull = true;
    EXPECT_FALSE(display->BeginScene());
    EXPECT_FALSE(display->EndScene(0));
}

TEST_F(DetectionTest, GapiFailuresFallBackToGdi)
{
    GapiConfig c;
    c.openFails = true;
    GapiSimulation::install(c);
    ASSERT_NE(create(), nullptr);
    EXPECT_EQ(drivers(), std::vector<int>{kDriverGDI});
    EXPECT_TRUE(logged("GAPI: GXOpenDisplay() failed"));
    // gx.dll exists, so the direct probe is not tried
    EXPECT_FALSE(logged("DriverDirect: Detect()"));
}

TEST_F(DetectionTest, GapiOfAnotherSizeThanTheScreenIsRejected)
{
    GapiConfig c;
    c.cxWidth = 480;
    c.cbyPitch = 960;
    GapiSimulation::install(c);
    ASSERT_NE(create(), nullptr);
    EXPECT_EQ(drivers(), std::vector<int>{kDriverGDI});
}

TEST_F(DetectionTest, GapiOnModelsTwoAndThreeUsesTheFixedAddressAndNeverDrawsPerFrame)
{
    testdevice::setOemText(u"Typhoon M300");
    GapiConfig c;
    c.dramBuffer = true;
    GapiSimulation::install(c);
    ASSERT_NE(create(), nullptr);
    ASSERT_NE(dynamic_cast<GAPI*>(display->driver()), nullptr);
    EXPECT_EQ(display->driver()->swapKind, 0);
    EXPECT_NE(display->ramBuffer(), nullptr);
    const int begins = GapiSimulation::counters().beginDraws;
    for (int i = 0; i < 3; ++i) {
        ASSERT_TRUE(display->BeginScene());
        drawPattern(*display->GetBackBuffer());
        ASSERT_TRUE(display->EndScene(0));
    }
    EXPECT_EQ(GapiSimulation::counters().beginDraws, begins);
    EXPECT_EQ(GapiSimulation::pixel(100, 200), pattern(100, 200));
}

TEST_F(DetectionTest, GapiViewportFollowsTheHardwareRows)
{
    GapiSimulation::install(GapiConfig{});
    ASSERT_NE(create(), nullptr);
    display->SetUpdateRect(Rect{0, 40, 240, 100});
    EXPECT_EQ(GapiSimulation::counters().lastViewport[0], 40u);
    EXPECT_EQ(GapiSimulation::counters().lastViewport[1], 60u);
}

TEST_F(DetectionTest, WithoutGxTheDirectFrameBufferIsFoundThroughGetGxInfo)
{
    std::vector<uint16_t> frame(240 * 320);
    EscapeReplies& r = EscapeSimulation::replies();
    r.gxInfoSupported = true;
    r.gxInfo.pvFrameBuffer = frame.data();
    r.gxInfo.cbStride = 480;
    r.gxInfo.cxWidth = 240;
    r.gxInfo.cyHeight = 320;
    ASSERT_NE(create(), nullptr);
    EXPECT_EQ(drivers(), (std::vector<int>{kDriverGDI, kDriverDirect}));
    auto* direct = dynamic_cast<DriverDirect*>(display->driver());
    ASSERT_NE(direct, nullptr);
    EXPECT_FALSE(direct->usesDma());
    EXPECT_NE(display->ramBuffer(), nullptr); // written in place: the display keeps a RAM copy
    ASSERT_TRUE(display->BeginScene());
    drawPattern(*display->GetBackBuffer());
    EXPECT_NE(frame[5 * 240 + 3], pattern(3, 5)); // not before the present
    ASSERT_TRUE(display->EndScene(0));
    EXPECT_EQ(frame[5 * 240 + 3], pattern(3, 5));
}

TEST_F(DetectionTest, DirectProbeTakesTheLandscapeFlag)
{
    DetectionRecord rec;
    EscapeReplies& r = EscapeSimulation::replies();
    r.gxInfoSupported = true;
    r.gxInfo.cbStride = 640;
    r.gxInfo.cxWidth = 240;
    r.gxInfo.cyHeight = 320;
    r.gxInfo.ffFormat = GXINFO_LANDSCAPE;
    static uint16_t memory[16];
    r.gxInfo.pvFrameBuffer = memory;
    ASSERT_TRUE(DriverDirect::Detect(rec));
    EXPECT_EQ(rec.width, 320);
    EXPECT_EQ(rec.height, 240);
    EXPECT_EQ(rec.orientation, 1);
    EXPECT_EQ(rec.pitch, 640);
}

TEST_F(DetectionTest, GxDmaWidensTheUpdateRectangleToFourPixelsAndCopiesIt)
{
    GxDmaConfig c;
    c.notReadyPolls = 3;
    GxDmaSimulation::install(c);
    ASSERT_NE(create(), nullptr);
    auto* direct = dynamic_cast<DriverDirect*>(display->driver());
    ASSERT_NE(direct, nullptr);
    EXPECT_TRUE(direct->usesDma());
    EXPECT_EQ(got.swapEffect, 2);
    EXPECT_EQ(display->ramBuffer(), nullptr);
    display->SetUpdateRect(Rect{5, 10, 18, 30});
    ASSERT_TRUE(display->BeginScene());
    EXPECT_GE(GxDmaSimulation::counters().readyPolls, 4);
    drawPattern(*display->GetBackBuffer());
    ASSERT_TRUE(display->EndScene(0));
    const DWORD* last = GxDmaSimulation::counters().last;
    EXPECT_EQ(last[0], 4u);  // left rounded down
    EXPECT_EQ(last[1], 16u); // 18 - 4 rounded up to 4
    EXPECT_EQ(last[2], 10u);
    EXPECT_EQ(last[3], 20u);
    EXPECT_EQ(GxDmaSimulation::vram()[12 * 240 + 6], pattern(6, 12));
    EXPECT_EQ(GxDmaSimulation::vram()[40 * 240 + 6], 0); // outside the rectangle
}

TEST_F(DetectionTest, ADmaEngineThatNeverGetsReadyDoesNotHangTheFrame)
{
    GxDmaConfig c;
    c.notReadyPolls = std::numeric_limits<int>::max();
    GxDmaSimulation::install(c);
    ASSERT_NE(create(), nullptr);
    auto start = std::chrono::steady_clock::now();
    ASSERT_TRUE(display->BeginScene());
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(500));
    EXPECT_GE(GxDmaSimulation::counters().readyPolls, 2);
    drawPattern(*display->GetBackBuffer());
    EXPECT_TRUE(display->EndScene(0));
    EXPECT_EQ(GxDmaSimulation::vram()[7 * 240 + 9], pattern(9, 7));
    EXPECT_TRUE(logged("DriverDirect: DMA still busy, drawing anyway"));
}

TEST_F(DetectionTest, AMissingIsDmaReadyIsReplacedAndModelsTwoAndThreeSkipDma)
{
    GxDmaConfig c;
    c.withIsDmaReady = false;
    GxDmaSimulation::install(c);
    ASSERT_NE(create(), nullptr);
    ASSERT_TRUE(display->BeginScene()); // would spin without the replacement
    ASSERT_TRUE(display->EndScene(0));
    Display::Destroy(display);
    display = nullptr;

    freshDeviceOnTheFakeClock();
    testdevice::setOemText(u"Compale P6C");
    GxDmaSimulation::install(GxDmaConfig{});
    ASSERT_NE(create(), nullptr);
    auto* direct = dynamic_cast<DriverDirect*>(display->driver());
    ASSERT_NE(direct, nullptr);
    EXPECT_FALSE(direct->usesDma());
}

TEST_F(DetectionTest, VgaIsTriedBeforeGapiAndRejectsOtherFormats)
{
    GapiSimulation::install(GapiConfig{});
    std::vector<uint16_t> frame(240 * 320);
    EscapeReplies& r = EscapeSimulation::replies();
    r.rawSupported = true;
    r.raw = RawFrameBufferInfo{FORMAT_565, 16, frame.data(), 2, 480, 240, 320};
    ASSERT_NE(create(), nullptr);
    EXPECT_EQ(drivers(), (std::vector<int>{kDriverGDI, kDriverGAPI, kDriverVGA}));
    EXPECT_EQ(display->driver()->swapKind, 0);
    Display::Destroy(display);
    display = nullptr;

    for (RawFrameBufferInfo bad :
         {RawFrameBufferInfo{2, 16, frame.data(), 2, 480, 240, 320},
          RawFrameBufferInfo{FORMAT_565, 16, frame.data(), 2, 480, 0, 320},
          RawFrameBufferInfo{FORMAT_565, 16, frame.data(), 2, 480, 320, 480}}) {
        freshDeviceOnTheFakeClock();
        GapiSimulation::install(GapiConfig{});
        EscapeSimulation::replies().rawSupported = true;
        EscapeSimulation::replies().raw = bad;
        log.clear();
        DisplayLog::setSink([this](const std::string& l) { log.push_back(l); });
        ASSERT_NE(create(), nullptr);
        EXPECT_EQ(drivers(), (std::vector<int>{kDriverGDI, kDriverGAPI}));
        Display::Destroy(display);
        display = nullptr;
    }
}

TEST_F(DetectionTest, TheMotorolaQTurnsTheVgaOrientation)
{
    testdevice::setOemText(u"MotoQ 9h");
    std::vector<uint16_t> frame(240 * 320);
    EscapeSimulation::replies().rawSupported = true;
    EscapeSimulation::replies().raw =
        RawFrameBufferInfo{FORMAT_565, 16, frame.data(), 2, 480, 240, 320};
    ASSERT_NE(create(DisplayParams{240, 320, 4, 1}), nullptr);
    EXPECT_EQ(got.orientation, 3);
    EXPECT_TRUE(
        logged("DriverVGA: Motorola Q detected, overriding orientation to ORIENTATION_ROTATE90CW"));
}

TEST_F(DetectionTest, DeviceModelAndCpuTypeComeFromTheirTables)
{
    EXPECT_EQ(DeviceInfo::modelFromOemText(u"compaq ipaq h3800 series"), 1);
    EXPECT_EQ(DeviceInfo::modelFromOemText(u"Toshiba e750"), 7);
    EXPECT_EQ(DeviceInfo::modelFromOemText(u"Toshiba"), 0);
    EXPECT_EQ(DeviceInfo::modelFromOemText(u""), 0);
    EXPECT_EQ(DeviceInfo::cpuTypeFromId(0x69052100), kCpuXScale);
    EXPECT_EQ(DeviceInfo::cpuTypeFromId(0x6901B110), kCpuStrongARM);
    EXPECT_EQ(DeviceInfo::cpuTypeFromId(0x41129200), kCpuOther);
    testdevice::setCpuId(0x69052D06);
    EXPECT_EQ(DeviceInfo::cpuType(), kCpuXScale);
    testdevice::setCpuId(0);
    EXPECT_EQ(DeviceInfo::cpuType(), kCpuXScale); // computed once per process
}

TEST_F(DetectionTest, MediaQIsRecognisedByItsSlowFill)
{
    static std::vector<uint8_t> frame(0x80000 + 0x42000 + 240 * 320 * 2);
    // An address whose low 19 bits are at least 0x42000.
    uintptr_t base = reinterpret_cast<uintptr_t>(frame.data());
    uintptr_t fb = (base + 0x7FFFF) & ~uintptr_t(0x7FFFF);
    fb += 0x42000;
    DetectionRecord rec{240, 320, 16, 480, 0, 0, fb};
    std::vector<int64_t> ticks;
    size_t next = 0;
    MediaQ::setClock([&] { return ticks[std::min(next++, ticks.size() - 1)]; });
    ticks = {100, 101, 115}; // 115 - 100 - 1 = 14
    EXPECT_TRUE(MediaQ::Detect(rec));
    next = 0;
    ticks = {100, 101, 114};
    EXPECT_FALSE(MediaQ::Detect(rec));
    EXPECT_TRUE(logged("MediaQ: benchmarked 13 ms"));
    EXPECT_TRUE(logged("MediaQ: not a MediaQ [3]"));

    // Without a scripted clock the benchmark reads the performance counter: on a frozen fake
    // clock it still finds its tick edge (each look lets a millisecond pass) and measures an
    // instant fill, where it used to wait for a tick for ever.
    MediaQ::setClock(nullptr);
    platform::FakeClock::freeze(5000);
    log.clear();
    EXPECT_FALSE(MediaQ::Detect(rec));
    EXPECT_TRUE(logged("MediaQ: benchmarked 0 ms"));
    EXPECT_EQ(GetTickCount(), 5001u);
    DetectionRecord big = rec;
    big.height = 600;
    EXPECT_FALSE(MediaQ::Detect(big));
    EXPECT_TRUE(logged("MediaQ: not a MediaQ [2]"));
}

TEST_F(DetectionTest, DriverCodesBuildTheirClasses)
{
    EXPECT_EQ(VideoDetect::CreateDriver(2), nullptr);
    EXPECT_EQ(VideoDetect::CreateDriver(10), nullptr);
    auto slow = VideoDetect::CreateDriver(kDriverMediaQ);
    auto* wrapper = dynamic_cast<SlowFB*>(slow.get());
    ASSERT_NE(wrapper, nullptr);
    EXPECT_NE(dynamic_cast<MediaQ*>(&wrapper->inner()), nullptr);
}

TEST_F(DetectionTest, EveryDriverOfTheTableIsBuiltByItsOwnCode)
{
    // One row per driver code, each building a driver; probes in detection order, GDI first.
    const auto& table = driverTable();
    ASSERT_EQ(table.size(), 8u);
    EXPECT_EQ(table.front().type, kDriverGDI);
    EXPECT_FALSE(table.front().needs16Bit);
    std::vector<int> codes;
    int lastGroup = -1;
    for (const DriverEntry& e : table) {
        SCOPED_TRACE(e.name);
        EXPECT_EQ(std::count(codes.begin(), codes.end(), e.type), 0);
        codes.push_back(e.type);
        EXPECT_GE(e.group, lastGroup); // a group's rows stand together
        lastGroup = e.group;
        EXPECT_NE(VideoDetect::CreateDriver(e.type), nullptr);
    }
}

TEST_F(DetectionTest, TheNativeOrientationNeverAddsARotation)
{
    GapiConfig c;
    c.cbxPitch = 640;
    c.cbyPitch = -2;
    GapiSimulation::install(c);
    ASSERT_NE(create(DisplayParams{240, 320, 4, 1}), nullptr);
    EXPECT_NE(dynamic_cast<GAPI*>(display->driver()), nullptr);
    EXPECT_EQ(got.orientation, 1);
    EXPECT_EQ(got.width, 320);
    EXPECT_EQ(got.height, 240);
}

TEST_F(DetectionTest, ARamBufferCopiesOnlyTheUpdateRectangle)
{
    std::vector<uint16_t> frame(240 * 320, 0);
    EscapeReplies& r = EscapeSimulation::replies();
    r.gxInfoSupported = true;
    r.gxInfo.pvFrameBuffer = frame.data();
    r.gxInfo.cbStride = 480;
    r.gxInfo.cxWidth = 240;
    r.gxInfo.cyHeight = 320;
    ASSERT_NE(create(), nullptr);
    ASSERT_NE(display->ramBuffer(), nullptr);
    display->SetUpdateRect(Rect{11, 20, 29, 41}); // widened to {10, 20, 30, 42}
    EXPECT_EQ(display->updateRect().left, 10);
    EXPECT_EQ(display->updateRect().right, 30);
    EXPECT_EQ(display->updateRect().bottom, 42);
    ASSERT_TRUE(display->BeginScene());
    drawPattern(*display->GetBackBuffer());
    ASSERT_TRUE(display->EndScene(0));
    EXPECT_EQ(frame[20 * 240 + 10], pattern(10, 20));
    EXPECT_EQ(frame[41 * 240 + 29], pattern(29, 41));
    EXPECT_EQ(frame[20 * 240 + 9], 0);
    EXPECT_EQ(frame[42 * 240 + 10], 0);
    EXPECT_EQ(frame[19 * 240 + 10], 0);
}

TEST_F(DetectionTest, UpdateRectanglesAreCutToTheScreenAndNeverTurnedInsideOut)
{
    std::vector<uint16_t> frame(240 * 320, 0);
    EscapeReplies& r = EscapeSimulation::replies();
    r.gxInfoSupported = true;
    r.gxInfo.pvFrameBuffer = frame.data();
    r.gxInfo.cbStride = 480;
    r.gxInfo.cxWidth = 240;
    r.gxInfo.cyHeight = 320;
    ASSERT_NE(create(), nullptr);
    ASSERT_NE(display->ramBuffer(), nullptr);
    auto presentPattern = [&] {
        ASSERT_TRUE(display->BeginScene());
        drawPattern(*display->GetBackBuffer());
        ASSERT_TRUE(display->EndScene(0));
    };

    // Right of the screen, and inside out: nothing to copy.
    for (Rect outside : {Rect{300, 0, 400, 10}, Rect{100, 50, 40, 20}, Rect{0, 400, 240, 500}}) {
        display->SetUpdateRect(outside);
        const Rect& u = display->updateRect();
        EXPECT_EQ(u.right - u.left == 0 || u.bottom - u.top == 0, true)
            << u.left << "," << u.top << "," << u.right << "," << u.bottom;
        presentPattern();
        EXPECT_EQ(std::count(frame.begin(), frame.end(), 0), 240 * 320);
    }

    // Beyond every side: the whole screen.
    display->SetUpdateRect(Rect{-7, -3, 1000, 1000});
    EXPECT_EQ(display->updateRect().left, 0);
    EXPECT_EQ(display->updateRect().top, 0);
    EXPECT_EQ(display->updateRect().right, 240);
    EXPECT_EQ(display->updateRect().bottom, 320);
    presentPattern();
    EXPECT_EQ(frame[0], pattern(0, 0));
    EXPECT_EQ(frame[319 * 240 + 239], pattern(239, 319));
}

TEST_F(DetectionTest, AnAbsurdFrameSizeFromTheEscapeFailsTheDisplayCleanly)
{
    // The escape answers without a frame address and with a size whose 16-bit image does not
    // fit in 32 bits (40000 x 40000 x 2 bytes): the direct driver cannot start, and the GDI
    // driver, which takes its size from the same record, refuses it.
    EscapeReplies& r = EscapeSimulation::replies();
    r.gxInfoSupported = true;
    r.gxInfo.pvFrameBuffer = nullptr;
    r.gxInfo.cbStride = 80000;
    r.gxInfo.cxWidth = 40000;
    r.gxInfo.cyHeight = 40000;
    EXPECT_EQ(create(), nullptr);
    EXPECT_EQ(drivers(), (std::vector<int>{kDriverGDI, kDriverDirect}));
    EXPECT_TRUE(logged("Failed, destroying internal structures"));
    HDC screen = GetDC(nullptr);
    EXPECT_EQ(DIBSurface::Create(screen, 70000, 2), nullptr);
    ReleaseDC(nullptr, screen);
}

TEST_F(DetectionTest, AFreshBackBufferIsBlackOnTheScreen)
{
    // A frame written in place gets a RAM back buffer; presenting it before anything was drawn
    // shows black, not whatever the memory held.
    std::vector<uint16_t> frame(240 * 320, 0x1234);
    EscapeReplies& r = EscapeSimulation::replies();
    r.gxInfoSupported = true;
    r.gxInfo.pvFrameBuffer = frame.data();
    r.gxInfo.cbStride = 480;
    r.gxInfo.cxWidth = 240;
    r.gxInfo.cyHeight = 320;
    ASSERT_NE(create(), nullptr);
    ASSERT_NE(display->ramBuffer(), nullptr);
    ASSERT_TRUE(display->BeginScene());
    ASSERT_TRUE(display->EndScene(0));
    EXPECT_EQ(std::count(frame.begin(), frame.end(), 0), 240 * 320);
    Display::Destroy(display);
    display = nullptr;

    // The same for the RAM frame of a turned display.
    freshDeviceOnTheFakeClock();
    ASSERT_NE(create(DisplayParams{240, 320, 1, 1}), nullptr);
    ASSERT_NE(dynamic_cast<RotationDriver*>(display->driver()), nullptr);
    ASSERT_TRUE(display->BeginScene());
    ASSERT_TRUE(display->EndScene(0));
    const std::vector<uint16_t>& store = *platform::WindowSystem::backingStore(window);
    EXPECT_EQ(std::count(store.begin(), store.end(), 0), 240 * 320);
}

TEST_F(DetectionTest, AScreenNotOfSixteenBitsGetsOnlyTheGdiDriver)
{
    testdevice::setBitsPerPixel(32);
    GapiSimulation::install(GapiConfig{});
    EscapeSimulation::replies().gxInfoSupported = true;
    ASSERT_NE(create(), nullptr);
    EXPECT_EQ(drivers(), std::vector<int>{kDriverGDI});
    EXPECT_FALSE(logged("GAPI: Detect()"));
    EXPECT_EQ(GapiSimulation::counters().opens, 0);
}

TEST_F(DetectionTest, WithoutAygshellTheDisplayStillWorks)
{
    platform::ModuleTable::setPresent("aygshell.dll", false);
    ASSERT_NE(create(), nullptr);
    EXPECT_EQ(platform::WindowSystem::shellState(window), 0u);
}

} // namespace

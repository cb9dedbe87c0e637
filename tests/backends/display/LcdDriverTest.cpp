// StrongARM and XScale LCD controllers over simulated registers: probing, the frame address
// rules and the (bounded) wait for the scan window.
#include "TestDevice.h"

#include "display/Display.h"
#include "display/DisplayLog.h"
#include "display/GDIDriver.h"
#include "display/RotationDriver.h"
#include "display/StrongARM.h"
#include "display/VideoDetect.h"
#include "display/XScale.h"

#include "platform/DeviceProfile.h"
#include "platform/sim/CoreLinkSimulation.h"
#include "platform/sim/EscapeSimulation.h"
#include "platform/sim/GapiSimulation.h"
#include "platform/sim/PhysicalMemory.h"
#include "platform/testing/FakeClock.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstring>

using namespace ScreenHAL;
using namespace platform::sim;
using platform::FakeClock;

namespace {

constexpr uint32_t kDmaBase = 0xC0000000;
constexpr uint32_t kPitch = 480;

void setRegister(uint32_t physical, uint32_t value)
{
    std::memcpy(PhysicalMemory::view(physical), &value, 4);
}

uint16_t pattern(int x, int y)
{
    return static_cast<uint16_t>(x * 13 + y * 977);
}

class LcdDriverTest : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        testdevice::reset();
        // The simulated scan follows the fake clock, which the driver's bounded wait moves.
        platform::DeviceProfile::current().clock = platform::ClockMode::Fake;
        DisplayLog::setSink([this](const std::string& l) { log.push_back(l); });
    }
    void TearDown() override
    {
        if (display)
            Display::Destroy(display);
        testdevice::reset();
    }

    void strongArm(uint32_t control = 0x81, uint16_t paletteEntry = 0x2000)
    {
        testdevice::setCpuId(0x6901B110);
        ASSERT_NE(PhysicalMemory::addRange(StrongARM::kRegisters, 4096), nullptr);
        ASSERT_NE(PhysicalMemory::addRange(kDmaBase, 4096), nullptr);
        setRegister(StrongARM::kRegisters + 0x00, control);
        setRegister(StrongARM::kRegisters + 0x10, kDmaBase);
        setRegister(StrongARM::kRegisters + 0x20, 240 - 16);
        setRegister(StrongARM::kRegisters + 0x24, 320 - 1);
        std::memcpy(PhysicalMemory::view(kDmaBase), &paletteEntry, 2);
    }

    void xscale(uint32_t depthCode = 4)
    {
        testdevice::setCpuId(0x69052D06);
        ASSERT_NE(PhysicalMemory::addRange(XScale::kRegisters, 4096), nullptr);
        setRegister(XScale::kRegisters + 0x00, 1);
        setRegister(XScale::kRegisters + 0x04, 239);
        setRegister(XScale::kRegisters + 0x08, 319);
        setRegister(XScale::kRegisters + 0x0C, depthCode << 24);
        setRegister(XScale::kRegisters + 0x20C, 1u << 26); // outside the window
    }

    Display* create()
    {
        window = testdevice::createRecordingWindow();
        DisplayParams p{240, 320, 0, 1};
        display = Display::Create(window, p);
        return display;
    }

    bool logged(const std::string& line) const
    {
        return std::find(log.begin(), log.end(), line) != log.end();
    }

    void presentPattern(int flags)
    {
        ASSERT_TRUE(display->BeginScene());
        Surface* back = display->GetBackBuffer();
        for (int y = 0; y < back->height; ++y)
            for (int x = 0; x < back->width; ++x)
                *pixelAt(*back, x, y) = pattern(x, y);
        ASSERT_TRUE(display->EndScene(flags));
    }

    HWND window = nullptr;
    Display* display = nullptr;
    std::vector<std::string> log;
};

TEST_F(LcdDriverTest, StrongArmDrawsIntoTheFrameAnEarlierProbeFound)
{
    strongArm();
    GapiSimulation::install(GapiConfig{});
    ASSERT_NE(create(), nullptr);
    EXPECT_EQ(VideoDetect::instance(window).drivers(),
              (std::vector<int>{kDriverGDI, kDriverGAPI, kDriverStrongARM}));
    EXPECT_TRUE(logged("StrongARM: found LCD"));
    ASSERT_NE(dynamic_cast<StrongARM*>(display->driver()), nullptr);
    EXPECT_EQ(display->driver()->pitch, 480);
    EXPECT_NE(display->ramBuffer(), nullptr);
    EXPECT_EQ(PhysicalMemory::liveReservations(), 1); // the driver's registers only
    presentPattern(0);
    EXPECT_EQ(GapiSimulation::pixel(200, 300), pattern(200, 300));
    Display::Destroy(display);
    display = nullptr;
    EXPECT_EQ(PhysicalMemory::liveReservations(), 0);
}

TEST_F(LcdDriverTest, StrongArmWaitsForTheLastRowsOfTheScan)
{
    strongArm();
    GapiSimulation::install(GapiConfig{});
    ASSERT_NE(create(), nullptr);
    // The scan runs through the bottom rows 280 to 319, one a millisecond; the window is rows
    // 286 to 300.
    PhysicalMemory::startScan(StrongARM::kRegisters + 0x14, kDmaBase + 32 + kPitch * 280, kPitch,
                              40, 1000);
    const int64_t before = FakeClock::peekMicros();
    presentPattern(kPresentWaitScan);
    const int64_t waited = FakeClock::peekMicros() - before;
    PhysicalMemory::stopScan();
    EXPECT_FALSE(logged("StrongARM: scan window not reached, presenting anyway"));
    EXPECT_GE(waited, 6000);
    EXPECT_LE(waited, 20000);
    EXPECT_EQ(GapiSimulation::pixel(5, 5), pattern(5, 5));
}

TEST_F(LcdDriverTest, AScanThatNeverArrivesDoesNotHangThePresent)
{
    strongArm();
    GapiSimulation::install(GapiConfig{});
    ASSERT_NE(create(), nullptr);
    setRegister(StrongARM::kRegisters + 0x14, kDmaBase); // stuck in the first row
    // On the fake clock the wait ends after its limit of program time.
    const int64_t before = FakeClock::peekMicros();
    presentPattern(kPresentWaitScan);
    EXPECT_LT(FakeClock::peekMicros() - before, 100000);
    EXPECT_TRUE(logged("StrongARM: scan window not reached, presenting anyway"));
    // And on the real clock it ends after as much real time, not never.
    log.clear();
    platform::DeviceProfile::current().clock = platform::ClockMode::Real;
    auto start = std::chrono::steady_clock::now();
    presentPattern(kPresentWaitScan);
    auto took = std::chrono::steady_clock::now() - start;
    EXPECT_LT(took, std::chrono::seconds(2));
    EXPECT_TRUE(logged("StrongARM: scan window not reached, presenting anyway"));
    EXPECT_EQ(GapiSimulation::pixel(7, 9), pattern(7, 9)); // the frame still goes out
}

TEST_F(LcdDriverTest, StrongArmNeedsSixteenBitsAndTheControlBit)
{
    strongArm(0x01); // bit 7 clear
    GapiSimulation::install(GapiConfig{});
    ASSERT_NE(create(), nullptr);
    EXPECT_TRUE(logged("StrongARM: no LCD detected"));
    EXPECT_EQ(VideoDetect::instance(window).drivers(), (std::vector<int>{kDriverGDI, kDriverGAPI}));
    EXPECT_EQ(PhysicalMemory::liveReservations(), 0); // the probe gave back what it mapped
}

TEST_F(LcdDriverTest, TheUncachedViewOfTheFrameIsPreferredWhenItShowsTheSameMemory)
{
    strongArm();
    std::vector<uint16_t> cached(240 * 320, 0), uncached(240 * 320, 0);
    PhysicalMemory::addKernelView(0x30000000, cached.data(), cached.size() * 2);
    PhysicalMemory::addKernelView(0x10000000, uncached.data(), uncached.size() * 2);
    EscapeReplies& r = EscapeSimulation::replies();
    r.gxInfoSupported = true;
    r.gxInfo.pvFrameBuffer = reinterpret_cast<void*>(uintptr_t(0x30000000));
    r.gxInfo.cbStride = 480;
    r.gxInfo.cxWidth = 240;
    r.gxInfo.cyHeight = 320;
    ASSERT_NE(create(), nullptr);
    EXPECT_EQ(display->driver()->frameBuffer, 0x10000000u);
    presentPattern(0);
    EXPECT_EQ(uncached[10 * 240 + 10], pattern(10, 10));
    EXPECT_EQ(cached[10 * 240 + 10], 0);
}

TEST_F(LcdDriverTest, DifferentViewsKeepTheReportedAddress)
{
    strongArm();
    std::vector<uint16_t> cached(240 * 320, 1), other(240 * 320, 2);
    PhysicalMemory::addKernelView(0x30000000, cached.data(), cached.size() * 2);
    PhysicalMemory::addKernelView(0x10000000, other.data(), other.size() * 2);
    EscapeReplies& r = EscapeSimulation::replies();
    r.gxInfoSupported = true;
    r.gxInfo.pvFrameBuffer = reinterpret_cast<void*>(uintptr_t(0x30000000));
    r.gxInfo.cbStride = 480;
    r.gxInfo.cxWidth = 240;
    r.gxInfo.cyHeight = 320;
    ASSERT_NE(create(), nullptr);
    EXPECT_EQ(display->driver()->frameBuffer, 0x30000000u);
    presentPattern(0);
    EXPECT_EQ(cached[3 * 240 + 4], pattern(4, 3));
}

TEST_F(LcdDriverTest, TheIpaqH3800UsesItsFixedFrameTurnedAQuarter)
{
    strongArm();
    testdevice::setOemText(u"Compaq iPAQ H3800");
    GapiSimulation::install(GapiConfig{});
    std::vector<uint16_t> fixed(240 * 320, 0);
    PhysicalMemory::addKernelView(StrongARM::kH3800Frame, fixed.data(), fixed.size() * 2);
    ASSERT_NE(create(), nullptr);
    auto* rotation = dynamic_cast<RotationDriver*>(display->driver());
    ASSERT_NE(rotation, nullptr);
    EXPECT_EQ(rotation->inner().orientation, 3);
    EXPECT_EQ(rotation->inner().frameBuffer, StrongARM::kH3800Frame);
    presentPattern(0);
    // r = 3: inner (x, y) = RAM (Ws - 1 - y, x), with the RAM frame 320 wide.
    EXPECT_EQ(fixed[7 * 240 + 5], pattern(320 - 1 - 7, 5));
}

TEST_F(LcdDriverTest, TheIpaqH3800WithoutAnEarlierFrameAddressFallsBackToGdi)
{
    // The controller is found, but neither GAPI nor the escapes reported a frame address: the
    // fixed address alone does not make the StrongARM driver usable.
    strongArm();
    testdevice::setOemText(u"Compaq iPAQ H3800");
    std::vector<uint16_t> fixed(240 * 320, 0x5A5A);
    PhysicalMemory::addKernelView(StrongARM::kH3800Frame, fixed.data(), fixed.size() * 2);
    ASSERT_NE(create(), nullptr);
    EXPECT_EQ(VideoDetect::instance(window).drivers(),
              (std::vector<int>{kDriverGDI, kDriverStrongARM}));
    EXPECT_EQ(VideoDetect::instance(window).record().frameBuffer, 0u);
    EXPECT_NE(dynamic_cast<GDIDriver*>(display->driver()), nullptr);
    EXPECT_TRUE(logged(" Failed to initialize driver"));
    presentPattern(0);
    EXPECT_EQ(fixed[7 * 240 + 5], 0x5A5A);
    EXPECT_EQ(PhysicalMemory::liveReservations(), 0);
}

TEST_F(LcdDriverTest, XScaleDrawsAndWaitsForTheFirstRowsOfTheScan)
{
    xscale();
    GapiSimulation::install(GapiConfig{});
    ASSERT_NE(create(), nullptr);
    EXPECT_TRUE(logged("XScale: found LCD"));
    ASSERT_NE(dynamic_cast<XScale*>(display->driver()), nullptr);
    EXPECT_EQ(display->driver()->pitch, 480);
    // Rows 10 to 49, one a millisecond; the window is rows 20 to 34.
    PhysicalMemory::startScan(XScale::kRegisters + 0x20C, kPitch * 10, kPitch, 40, 1000);
    const int64_t before = FakeClock::peekMicros();
    presentPattern(kPresentWaitScan);
    const int64_t waited = FakeClock::peekMicros() - before;
    PhysicalMemory::stopScan();
    EXPECT_FALSE(logged("XScale: scan window not reached, presenting anyway"));
    EXPECT_GE(waited, 10000);
    EXPECT_LE(waited, 24000);
    EXPECT_EQ(GapiSimulation::pixel(100, 100), pattern(100, 100));
}

TEST_F(LcdDriverTest, XScaleRejectsOtherDepthsAndRoundsRows)
{
    xscale(3);
    DetectionRecord rec;
    EXPECT_FALSE(XScale::Detect(rec));
    EXPECT_EQ(XScale::probe().bitsPerPixel, 8);
    VideoDetect::resetForTests();

    xscale(4);
    setRegister(XScale::kRegisters + 0x04, 237);  // 238 wide
    setRegister(XScale::kRegisters + 0x00, 0x81); // bit 7 at 16 bits: rows of 8 pixels
    ASSERT_TRUE(XScale::Detect(rec));
    EXPECT_EQ(rec.pitch, 240 * 2);
    VideoDetect::resetForTests();
    setRegister(XScale::kRegisters + 0x00, 0x01); // rows of 4 pixels
    ASSERT_TRUE(XScale::Detect(rec));
    EXPECT_EQ(rec.pitch, 240 * 2);
    setRegister(XScale::kRegisters + 0x04, 233); // 234 wide -> 236
    VideoDetect::resetForTests();
    ASSERT_TRUE(XScale::Detect(rec));
    EXPECT_EQ(rec.pitch, 236 * 2);
}

TEST_F(LcdDriverTest, AFoundVgaFrameSkipsTheControllerAndChipProbes)
{
    // A StrongARM with its controller, on a model with the Imageon library: once the raw frame
    // buffer is found, none of the later probes runs.
    strongArm();
    testdevice::setOemText(u"Toshiba e740");
    CoreLinkSimulation::install(CoreLinkConfig{});
    std::vector<uint16_t> frame(240 * 320);
    EscapeSimulation::replies().rawSupported = true;
    EscapeSimulation::replies().raw =
        RawFrameBufferInfo{FORMAT_565, 16, frame.data(), 2, 480, 240, 320};
    ASSERT_NE(create(), nullptr);
    EXPECT_EQ(VideoDetect::instance(window).drivers(), (std::vector<int>{kDriverGDI, kDriverVGA}));
    EXPECT_FALSE(logged("StrongARM: Detect()"));
    EXPECT_FALSE(logged("Imageon100: Detect()"));
    EXPECT_FALSE(logged("MediaQ: Detect()"));
    EXPECT_EQ(CoreLinkSimulation::state().attaches, 0);
}

TEST_F(LcdDriverTest, AFoundControllerSkipsTheChipProbes)
{
    xscale();
    testdevice::setOemText(u"Toshiba e740");
    CoreLinkSimulation::install(CoreLinkConfig{});
    GapiSimulation::install(GapiConfig{});
    ASSERT_NE(create(), nullptr);
    EXPECT_EQ(VideoDetect::instance(window).drivers(),
              (std::vector<int>{kDriverGDI, kDriverGAPI, kDriverXScale}));
    EXPECT_TRUE(logged("XScale: found LCD"));
    EXPECT_FALSE(logged("Imageon100: Detect()"));
    EXPECT_FALSE(logged("MediaQ: Detect()"));
}

TEST_F(LcdDriverTest, AnXScaleCpuNeverProbesTheStrongArmController)
{
    // StrongARM registers answer, but the processor is an XScale without its own controller.
    strongArm();
    testdevice::setCpuId(0x69052D06);
    GapiSimulation::install(GapiConfig{});
    ASSERT_NE(create(), nullptr);
    EXPECT_EQ(VideoDetect::instance(window).drivers(), (std::vector<int>{kDriverGDI, kDriverGAPI}));
    EXPECT_FALSE(logged("StrongARM: Detect()"));
    EXPECT_TRUE(logged("XScale: no LCD detected"));
    EXPECT_TRUE(logged("Imageon100: Detect()"));
}

TEST_F(LcdDriverTest, WithoutMappableRegistersTheProbesFailCleanly)
{
    testdevice::setCpuId(0x6901B110);
    DetectionRecord rec;
    EXPECT_FALSE(StrongARM::Detect(rec));
    PhysicalMemory::addRange(StrongARM::kRegisters, 4096);
    PhysicalMemory::failVirtualCopy(true);
    VideoDetect::resetForTests();
    EXPECT_FALSE(StrongARM::Detect(rec));
    EXPECT_EQ(PhysicalMemory::liveReservations(), 0);
}

} // namespace

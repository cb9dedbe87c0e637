// The Imageon 100 driver over the simulated CoreLinkLib: overlay set-up, per-frame memory
// transfers, suspend and resume, and that destruction gives everything back.
#include "TestDevice.h"

#include "display/Display.h"
#include "display/Imageon100.h"
#include "display/VideoDetect.h"

#include "platform/sim/CoreLinkSimulation.h"

#include <gtest/gtest.h>

using namespace ScreenHAL;
using namespace platform::sim;

namespace {

class Imageon100Test : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        testdevice::reset();
        testdevice::setOemText(u"TOSHIBA e740");
    }
    void TearDown() override
    {
        if (display)
            Display::Destroy(display);
        testdevice::reset();
    }
    Display* create()
    {
        window = testdevice::createRecordingWindow();
        DisplayParams p{240, 320, 0, 1};
        display = Display::Create(window, p);
        return display;
    }
    HWND window = nullptr;
    Display* display = nullptr;
};

TEST_F(Imageon100Test, TheOverlayShowsASurfaceWrittenThroughTransfers)
{
    CoreLinkSimulation::install(CoreLinkConfig{});
    ASSERT_NE(create(), nullptr);
    EXPECT_EQ(VideoDetect::instance(window).drivers(),
              (std::vector<int>{kDriverGDI, kDriverImageon100}));
    ASSERT_NE(dynamic_cast<Imageon100*>(display->driver()), nullptr);
    const CoreLinkState& s = CoreLinkSimulation::state();
    EXPECT_TRUE(s.overlayOn);
    EXPECT_EQ(s.overlayInfo.widths, 240u | (240u << 16));
    EXPECT_EQ(s.overlayInfo.heights, 320u | (320u << 16));
    EXPECT_EQ(s.overlayInfo.format, 8u);
    EXPECT_EQ(s.attaches, 1);

    ASSERT_TRUE(display->BeginScene());
    EXPECT_TRUE(s.transferOpen);
    Surface* back = display->GetBackBuffer();
    *pixelAt(*back, 3, 2) = 0x7E0;
    ASSERT_TRUE(display->EndScene(0));
    EXPECT_FALSE(s.transferOpen);
    const auto* video = reinterpret_cast<const uint16_t*>(CoreLinkSimulation::videoMemory() +
                                                          s.overlayInfo.surfaceOffset);
    EXPECT_EQ(video[2 * 240 + 3], 0x7E0);

    ASSERT_TRUE(display->BeginScene());
    SendMessageW(window, WM_ACTIVATE, WA_INACTIVE, 0);
    EXPECT_FALSE(s.transferOpen);
    EXPECT_FALSE(s.overlayOn);
    SendMessageW(window, WM_ACTIVATE, WA_ACTIVE, 0);
    EXPECT_TRUE(s.overlayOn);
    EXPECT_EQ(s.terminatesWithoutTransfer, 0);

    Display::Destroy(display);
    display = nullptr;
    EXPECT_EQ(s.attaches, 0);
    EXPECT_EQ(s.liveSurfaces, 0);
    EXPECT_EQ(s.liveOverlays, 0);
}

TEST_F(Imageon100Test, ABusyChipOrAFailedTransferSkipsTheFrame)
{
    CoreLinkSimulation::install(CoreLinkConfig{});
    ASSERT_NE(create(), nullptr);
    CoreLinkSimulation::config().waitNeverCompletes = true;
    const int before = CoreLinkSimulation::state().waitCalls;
    EXPECT_FALSE(display->BeginScene());
    EXPECT_EQ(CoreLinkSimulation::state().waitCalls - before, 32);
    CoreLinkSimulation::config().waitNeverCompletes = false;
    CoreLinkSimulation::config().transferFails = true;
    EXPECT_FALSE(display->BeginScene());
    CoreLinkSimulation::config().transferFails = false;
    EXPECT_TRUE(display->BeginScene());
}

TEST_F(Imageon100Test, OtherModelsOrAnIncompleteLibraryAreNotImageons)
{
    CoreLinkConfig c;
    c.withAllocOverlay = false;
    CoreLinkSimulation::install(c);
    ASSERT_NE(create(), nullptr);
    EXPECT_EQ(VideoDetect::instance(window).drivers(), std::vector<int>{kDriverGDI});
    Display::Destroy(display);
    display = nullptr;

    testdevice::reset();
    testdevice::setOemText(u"Toshiba e330");
    CoreLinkSimulation::install(CoreLinkConfig{});
    ASSERT_NE(create(), nullptr);
    EXPECT_EQ(VideoDetect::instance(window).drivers(), std::vector<int>{kDriverGDI});
    EXPECT_EQ(CoreLinkSimulation::state().attaches, 0);
}

} // namespace

// The desktop backend under SDL's offscreen video driver: a real window of the screen size
// times the scale, shown through GDI presents.
#include "TestDevice.h"

#include "display/Display.h"
#include "display/VideoDetect.h"

#include "platform/DeviceProfile.h"
#include "platform/window/SdlBackend.h"
#include "platform/window/WindowSystem.h"

#include <SDL.h>
#include <gtest/gtest.h>

using namespace ScreenHAL;

namespace {

class SdlWindowTest : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        testdevice::reset();
        auto sdl = platform::SdlBackend::create();
        if (!sdl)
            GTEST_SKIP() << "no SDL video driver";
        platform::WindowSystem::setBackend(std::move(sdl));
        platform::WindowSystem::setScale(2);
    }
    void TearDown() override { testdevice::reset(); }
};

TEST_F(SdlWindowTest, TheWindowIsTheScreenScaledAndShowsTheFrame)
{
    HWND w = testdevice::createRecordingWindow(u"Pallasterhorn");
    ASSERT_NE(w, nullptr);
    SDL_Window* native = SDL_GetWindowFromID(1);
    for (Uint32 id = 1; !native && id < 16; ++id)
        native = SDL_GetWindowFromID(id);
    ASSERT_NE(native, nullptr);
    int width = 0, height = 0;
    SDL_GetWindowSize(native, &width, &height);
    EXPECT_EQ(width, 480);
    EXPECT_EQ(height, 640);
    EXPECT_STREQ(SDL_GetWindowTitle(native), "Pallasterhorn");

    DisplayParams p{240, 320, 0, 1};
    Display* display = Display::Create(w, p);
    ASSERT_NE(display, nullptr);
    EXPECT_EQ(VideoDetect::instance(w).drivers(), std::vector<int>{kDriverGDI});
    ASSERT_TRUE(display->BeginScene());
    Surface* back = display->GetBackBuffer();
    for (int y = 0; y < 320; ++y)
        for (int x = 0; x < 240; ++x)
            *pixelAt(*back, x, y) = static_cast<uint16_t>(x < 120 ? 0xF800 : 0x001F);
    ASSERT_TRUE(display->EndScene(0));
    const auto& store = *platform::WindowSystem::backingStore(w);
    EXPECT_EQ(store[10 * 240 + 10], 0xF800);
    EXPECT_EQ(store[10 * 240 + 200], 0x001F);

    MSG m;
    while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE))
        DispatchMessageW(&m);
    EXPECT_TRUE(IsWindow(w)); // pumping SDL's own start-up events closes nothing
    Display::Destroy(display);
    DestroyWindow(w);
}

TEST_F(SdlWindowTest, OnASmartphoneTheKeypadStarAndHashAreF8AndF9)
{
    platform::DeviceProfile::current().platformType = u"SmartPhone";
    EXPECT_EQ(platform::SdlBackend::virtualKeyFor(SDL_SCANCODE_KP_MULTIPLY),
              static_cast<UINT>(VK_F1 + 7));
    EXPECT_EQ(platform::SdlBackend::virtualKeyFor(SDL_SCANCODE_KP_HASH),
              static_cast<UINT>(VK_F1 + 8));
    EXPECT_EQ(platform::SdlBackend::virtualKeyFor(SDL_SCANCODE_KP_2), static_cast<UINT>('2'));
    platform::DeviceProfile::reset();
}

TEST_F(SdlWindowTest, DesktopKeysHaveVirtualKeys)
{
    EXPECT_EQ(platform::SdlBackend::virtualKeyFor(SDL_SCANCODE_A), static_cast<UINT>('A'));
    EXPECT_EQ(platform::SdlBackend::virtualKeyFor(SDL_SCANCODE_0), static_cast<UINT>('0'));
    EXPECT_EQ(platform::SdlBackend::virtualKeyFor(SDL_SCANCODE_F2), static_cast<UINT>(VK_F1 + 1));
    EXPECT_EQ(platform::SdlBackend::virtualKeyFor(SDL_SCANCODE_RETURN),
              static_cast<UINT>(VK_RETURN));
    EXPECT_EQ(platform::SdlBackend::virtualKeyFor(SDL_SCANCODE_KP_MULTIPLY),
              static_cast<UINT>(VK_APP2));
    EXPECT_EQ(platform::SdlBackend::virtualKeyFor(SDL_SCANCODE_KP_5), static_cast<UINT>('5'));
    EXPECT_EQ(platform::SdlBackend::virtualKeyFor(SDL_SCANCODE_KP_0), static_cast<UINT>('0'));
    EXPECT_EQ(platform::SdlBackend::virtualKeyFor(SDL_SCANCODE_KP_9), static_cast<UINT>('9'));
    EXPECT_EQ(platform::SdlBackend::virtualKeyFor(SDL_SCANCODE_KP_HASH),
              static_cast<UINT>(VK_APP3));
    EXPECT_EQ(platform::SdlBackend::virtualKeyFor(SDL_SCANCODE_MUTE), 0u);
}

} // namespace

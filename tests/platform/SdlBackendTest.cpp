// The desktop window under SDL's offscreen video driver: the pixels it shows, resizing and full
// screen, the window's own keys and the stylus through the scale and the border.
#include "StopSignalScope.h"
#include "TestDevice.h"

#include "platform/window/SdlBackend.h"
#include "platform/window/WindowSystem.h"

#include <SDL.h>
#include <gtest/gtest.h>

using namespace testdevice;
using platform::ScreenPlacement;
using platform::WindowSystem;

namespace {

class SdlBackendTest : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        reset();
        auto sdl = platform::SdlBackend::create();
        if (!sdl)
            GTEST_SKIP() << "no SDL video driver";
        sdlBackend = sdl.get();
        WindowSystem::setBackend(std::move(sdl));
    }
    void TearDown() override { reset(); }

    // The SDL window behind the only window of the test.
    static SDL_Window* native()
    {
        for (Uint32 id = 1; id < 256; ++id)
            if (SDL_Window* n = SDL_GetWindowFromID(id))
                return n;
        return nullptr;
    }

    // A screen where neighbouring pixels differ in every channel, shown.
    static void showPattern(HWND w)
    {
        std::vector<uint16_t>& store = *WindowSystem::mutableBackingStore(w);
        for (size_t i = 0; i < store.size(); ++i)
            store[i] = static_cast<uint16_t>(i * 2654435761u >> 7);
        WindowSystem::presentBackingStore(w);
    }

    // Every window pixel is the screen pixel under it, its channels widened to 8 bits by
    // repeating their top bits as the screen dumps do, or black beside it.
    static void expectShown(HWND w, SDL_Window* window)
    {
        SDL_Surface* s = SDL_GetWindowSurface(window);
        ASSERT_NE(s, nullptr);
        ASSERT_EQ(s->format->BytesPerPixel, 4);
        const std::vector<uint16_t>& store = *WindowSystem::backingStore(w);
        const ScreenPlacement at = ScreenPlacement::fit(s->w, s->h, 240, 320);
        const uint32_t channels = s->format->Rmask | s->format->Gmask | s->format->Bmask;
        int picture = 0;
        for (int y = 0; y < s->h; ++y) {
            const auto* row =
                reinterpret_cast<const uint32_t*>(static_cast<uint8_t*>(s->pixels) + y * s->pitch);
            for (int x = 0; x < s->w; ++x) {
                const int sx = at.toScreenX(x), sy = at.toScreenY(y);
                Uint8 r = 0, g = 0, b = 0;
                if (sx >= 0 && sx < 240 && sy >= 0 && sy < 320) {
                    const uint16_t p = store[sy * 240 + sx];
                    r = static_cast<Uint8>(((p >> 11) << 3) | (p >> 13));
                    g = static_cast<Uint8>((((p >> 5) & 63) << 2) | ((p >> 9) & 3));
                    b = static_cast<Uint8>(((p & 31) << 3) | ((p >> 2) & 7));
                    ++picture;
                }
                ASSERT_EQ(row[x] & channels, SDL_MapRGB(s->format, r, g, b) & channels)
                    << "window pixel " << x << "," << y;
            }
        }
        EXPECT_EQ(picture, at.width * at.height);
    }

    static void push(SDL_Window* window, Uint32 type, SDL_Scancode key, Uint16 mod,
                     bool repeat = false)
    {
        SDL_Event e{};
        e.type = type;
        e.key.windowID = SDL_GetWindowID(window);
        e.key.state = type == SDL_KEYDOWN ? SDL_PRESSED : SDL_RELEASED;
        e.key.repeat = repeat;
        e.key.keysym.scancode = key;
        e.key.keysym.mod = mod;
        ASSERT_EQ(SDL_PushEvent(&e), 1);
    }

    // Takes every message; the key messages among them, as "down 13", "up 13".
    static std::vector<std::string> keyMessages()
    {
        std::vector<std::string> keys;
        MSG m;
        while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) {
            if (m.message == WM_KEYDOWN || m.message == WM_KEYUP)
                keys.push_back((m.message == WM_KEYDOWN ? "down " : "up ") +
                               std::to_string(m.wParam));
            DispatchMessageW(&m);
        }
        return keys;
    }

    static bool fullScreen(SDL_Window* window)
    {
        return (SDL_GetWindowFlags(window) & SDL_WINDOW_FULLSCREEN_DESKTOP) ==
               SDL_WINDOW_FULLSCREEN_DESKTOP;
    }

    // A window of the screen's size at `scale`; `window` is the SDL window behind it.
    HWND open(int scale, const char16_t* title)
    {
        WindowSystem::setScale(scale);
        HWND w = createRecordingWindow(title);
        window = native();
        return w;
    }

    platform::SdlBackend* sdlBackend = nullptr;
    SDL_Window* window = nullptr;
};

TEST_F(SdlBackendTest, TheWindowShowsTheConvertedScreenAtAnySize)
{
    HWND w = open(2, u"Shown");
    ASSERT_NE(w, nullptr);
    ASSERT_NE(window, nullptr);
    int ww = 0, wh = 0;
    SDL_GetWindowSize(window, &ww, &wh);
    EXPECT_EQ(ww, 480);
    EXPECT_EQ(wh, 640);
    EXPECT_TRUE(SDL_GetWindowFlags(window) & SDL_WINDOW_RESIZABLE);
    showPattern(w);
    expectShown(w, window);

    // Made larger: still twice, centred, the rest black; the next frame keeps the border.
    SDL_SetWindowSize(window, 1000, 700);
    keyMessages();
    showPattern(w);
    ASSERT_EQ(sdlBackend->placement(w).scale, 2);
    ASSERT_EQ(sdlBackend->placement(w).x, 260);
    expectShown(w, window);
    std::vector<uint16_t>& store = *WindowSystem::mutableBackingStore(w);
    std::fill(store.begin(), store.end(), 0xFFFF);
    WindowSystem::presentBackingStore(w);
    expectShown(w, window);

    // Large enough for three.
    SDL_SetWindowSize(window, 800, 1000);
    keyMessages();
    showPattern(w);
    EXPECT_EQ(sdlBackend->placement(w).scale, 3);
    expectShown(w, window);

    // Never smaller than the screen itself.
    SDL_SetWindowSize(window, 100, 100);
    SDL_GetWindowSize(window, &ww, &wh);
    EXPECT_GE(ww, 240);
    EXPECT_GE(wh, 320);
    DestroyWindow(w);
}

TEST_F(SdlBackendTest, OnlyAChangedFrameOrADesktopRepaintIsSentAgain)
{
    HWND w = open(1, u"Again");
    ASSERT_NE(w, nullptr);
    ASSERT_NE(window, nullptr);
    showPattern(w);
    expectShown(w, window);
    // Something else drew over the window's pixels: the same frame again changes nothing there.
    SDL_Surface* s = SDL_GetWindowSurface(window);
    const Uint32 red = SDL_MapRGB(s->format, 255, 0, 0);
    SDL_FillRect(s, nullptr, red);
    showPattern(w);
    EXPECT_EQ(static_cast<const Uint32*>(s->pixels)[0], red);
    // A frame with one pixel changed is shown whole.
    std::vector<uint16_t>& store = *WindowSystem::mutableBackingStore(w);
    store[store.size() / 2] ^= 0xFFFF;
    WindowSystem::presentBackingStore(w);
    expectShown(w, window);
    // So is the same frame once the desktop asks for a repaint.
    SDL_FillRect(s, nullptr, red);
    SDL_Event expose{};
    expose.type = SDL_WINDOWEVENT;
    expose.window.event = SDL_WINDOWEVENT_EXPOSED;
    expose.window.windowID = SDL_GetWindowID(window);
    SDL_PushEvent(&expose);
    keyMessages();
    WindowSystem::presentBackingStore(w);
    expectShown(w, window);
    DestroyWindow(w);
}

TEST_F(SdlBackendTest, F11AndAltEnterSwitchFullScreenAndNeverReachTheProgram)
{
    HWND w = open(1, u"Keys");
    ASSERT_NE(w, nullptr);
    ASSERT_NE(window, nullptr);
    keyMessages();

    push(window, SDL_KEYDOWN, SDL_SCANCODE_F11, KMOD_NONE);
    push(window, SDL_KEYDOWN, SDL_SCANCODE_F11, KMOD_NONE, true);
    push(window, SDL_KEYUP, SDL_SCANCODE_F11, KMOD_NONE);
    EXPECT_TRUE(keyMessages().empty());
    EXPECT_TRUE(fullScreen(window));
    showPattern(w);
    expectShown(w, window);

    // Alt reaches the program; Enter pressed with it does not, nor its release after Alt's.
    push(window, SDL_KEYDOWN, SDL_SCANCODE_LALT, KMOD_LALT);
    push(window, SDL_KEYDOWN, SDL_SCANCODE_RETURN, KMOD_LALT);
    push(window, SDL_KEYUP, SDL_SCANCODE_LALT, KMOD_NONE);
    push(window, SDL_KEYUP, SDL_SCANCODE_RETURN, KMOD_NONE);
    EXPECT_EQ(keyMessages(), (std::vector<std::string>{"down " + std::to_string(VK_MENU),
                                                       "up " + std::to_string(VK_MENU)}));
    EXPECT_FALSE(fullScreen(window));

    // Enter alone is the program's.
    push(window, SDL_KEYDOWN, SDL_SCANCODE_RETURN, KMOD_NONE);
    push(window, SDL_KEYUP, SDL_SCANCODE_RETURN, KMOD_NONE);
    EXPECT_EQ(keyMessages(), (std::vector<std::string>{"down 13", "up 13"}));
    EXPECT_FALSE(fullScreen(window));
    DestroyWindow(w);
}

TEST_F(SdlBackendTest, TheStylusIsMappedThroughTheScaleAndTheBorder)
{
    HWND w = open(2, u"Stylus");
    ASSERT_NE(w, nullptr);
    ASSERT_NE(window, nullptr);
    SDL_SetWindowSize(window, 1000, 700); // the screen twice at (260, 30)
    keyMessages();
    recorded().clear();

    SDL_Event e{};
    e.type = SDL_MOUSEBUTTONDOWN;
    e.button.windowID = SDL_GetWindowID(window);
    e.button.button = SDL_BUTTON_LEFT;
    e.button.state = SDL_PRESSED;
    e.button.x = 260 + 2 * 10 + 1;
    e.button.y = 30 + 2 * 20;
    ASSERT_EQ(SDL_PushEvent(&e), 1);
    SDL_Event move{};
    move.type = SDL_MOUSEMOTION;
    move.motion.windowID = e.button.windowID;
    move.motion.state = SDL_BUTTON_LMASK;
    move.motion.x = 100; // in the left border, below the picture's last row
    move.motion.y = 690;
    ASSERT_EQ(SDL_PushEvent(&move), 1);
    e.type = SDL_MOUSEBUTTONUP;
    e.button.state = SDL_RELEASED;
    e.button.x = 260 + 2 * 239;
    e.button.y = 30 + 2 * 319 + 1;
    ASSERT_EQ(SDL_PushEvent(&e), 1);
    keyMessages();

    std::vector<std::string> got;
    for (const RecordedMessage& m : recorded())
        if (m.message == WM_LBUTTONDOWN || m.message == WM_MOUSEMOVE || m.message == WM_LBUTTONUP)
            got.push_back(std::to_string(m.message) + " " + std::to_string(LOWORD(m.lParam)) + "," +
                          std::to_string(HIWORD(m.lParam)));
    EXPECT_EQ(got, (std::vector<std::string>{std::to_string(WM_LBUTTONDOWN) + " 10,20",
                                             std::to_string(WM_MOUSEMOVE) +
                                                 " 0,319", // held to the nearest edge
                                             std::to_string(WM_LBUTTONUP) + " 239,319"}));
    DestroyWindow(w);
}

TEST_F(SdlBackendTest, ANewWindowFitsTheDesktopUnlessTheScaleWasChosen)
{
    SDL_Rect usable;
    ASSERT_EQ(SDL_GetDisplayUsableBounds(0, &usable), 0);
    // The offscreen desktop: twice the default screen fits, twice 480 x 640 does not.
    if (usable.h < 640 + platform::kFrameAllowanceHeight || usable.h >= 1280)
        GTEST_SKIP() << "desktop of " << usable.w << " x " << usable.h;
    int ww = 0, wh = 0;
    HWND w = createRecordingWindow(u"Default");
    SDL_GetWindowSize(native(), &ww, &wh);
    EXPECT_EQ(ww, 480);
    EXPECT_EQ(wh, 640);
    DestroyWindow(w);

    setScreen(480, 640);
    w = createRecordingWindow(u"Large");
    SDL_GetWindowSize(native(), &ww, &wh);
    EXPECT_EQ(ww, 480);
    EXPECT_EQ(wh, 640);
    DestroyWindow(w);

    WindowSystem::setScale(2); // as PH_SCALE=2: taken as it is
    w = createRecordingWindow(u"Chosen");
    SDL_GetWindowSize(native(), &ww, &wh);
    EXPECT_EQ(ww, 960);
    EXPECT_EQ(wh, 1280);
    DestroyWindow(w);
}

TEST_F(SdlBackendTest, AStopSignalEndsTheWaitForDesktopEvents)
{
    testsupport::StopSignalScope signals;
    std::vector<platform::NativeEvent> events;
    sdlBackend->poll(events);
    raise(SIGTERM);
    // A wait that missed it would run its whole time and say nothing came.
    EXPECT_TRUE(sdlBackend->wait(20000));
    events.clear();
    sdlBackend->poll(events);
    EXPECT_TRUE(events.empty()); // the wake itself is no desktop event
}

} // namespace

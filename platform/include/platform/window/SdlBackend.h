// The desktop window backend: one SDL window per window, the emulated screen scaled up by a
// whole number and centred on black in a window of any size, desktop keys and mouse turned into
// events. F11 and Alt+Enter switch full screen; they belong to the window, not to the program.
#pragma once

#include "platform/window/Rgb565Expander.h"
#include "platform/window/ScreenPlacement.h"
#include "platform/window/WindowBackend.h"

#include <map>
#include <memory>
#include <set>

struct SDL_Window;
struct SDL_Surface;

namespace platform {

class SdlBackend : public WindowBackend
{
  public:
    // Null when SDL has no video driver that shows a window, with the reason in `failure` when
    // given. SDL's invisible drivers (offscreen, dummy) count only when asked for by name in
    // SDL_VIDEODRIVER, as tests and CI do; as SDL's fallback on a machine without a display
    // they would run the game where nobody sees it.
    static std::unique_ptr<SdlBackend> create(std::string* failure = nullptr);
    ~SdlBackend() override;

    bool createWindow(HWND window, const std::string& title, int width, int height) override;
    void destroyWindow(HWND window) override;
    void present(HWND window, const uint16_t* pixels, int width, int height) override;
    void raise(HWND window) override;
    void poll(std::vector<NativeEvent>& out) override;
    bool wait(int timeoutMs) override;
    bool messageBox(const std::string& caption, const std::string& text, bool error) override;

    // The virtual key for an SDL scancode, 0 when the key has none. The window's own keys
    // (isFullScreenKey) are taken before this is asked.
    static UINT virtualKeyFor(int scancode);
    // Whether a key press switches full screen (F11, or Enter with Alt held).
    static bool isFullScreenKey(int scancode, bool altHeld);
    // Where the window's screen is shown now; for the window's current size.
    ScreenPlacement placement(HWND window) const;

  private:
    SdlBackend() = default;
    struct Native
    {
        SDL_Window* window = nullptr;
        unsigned id = 0;
        int screenWidth = 0;
        int screenHeight = 0;
        // The surface the last frame went to and its size: a new one is blackened first.
        SDL_Surface* surface = nullptr;
        int surfaceWidth = 0;
        int surfaceHeight = 0;
        bool wholeWindow = true; // the next present sends the borders too
        // The frame the window shows: the same frame again is not sent to the desktop, whose
        // every update costs a round trip to the display server.
        std::vector<uint16_t> lastFrame;
        int lastFrameWidth = 0;
        std::unique_ptr<Rgb565Expander> expander;
        uint32_t expanderFormat = 0;
    };
    HWND windowOf(unsigned sdlId) const;
    Native* nativeOf(unsigned sdlId);
    // True when the key event is the window's own and must not reach the program.
    bool takeWindowKey(Native& n, bool down, int scancode, bool altHeld);
    bool drawFast(Native& n, SDL_Surface* target, const uint16_t* pixels, int width, int height,
                  const ScreenPlacement& at);
    std::map<HWND, Native> m_windows;
    std::set<int> m_windowKeysHeld; // scancodes whose press was the window's
    bool m_buttonHeld = false;
};

} // namespace platform

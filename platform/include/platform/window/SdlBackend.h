// The desktop window backend: one SDL window per window, the emulated screen scaled up by an
// integer factor with nearest-neighbour sampling, desktop keys and mouse turned into events.
#pragma once

#include "platform/window/WindowBackend.h"

#include <map>
#include <memory>

struct SDL_Window;

namespace platform {

class SdlBackend : public WindowBackend
{
  public:
    // Null when SDL has no usable video driver.
    static std::unique_ptr<SdlBackend> create();
    ~SdlBackend() override;

    bool createWindow(HWND window, const std::string& title, int width, int height) override;
    void destroyWindow(HWND window) override;
    void present(HWND window, const uint16_t* pixels, int width, int height) override;
    void raise(HWND window) override;
    void poll(std::vector<NativeEvent>& out) override;
    bool wait(int timeoutMs) override;
    bool messageBox(const std::string& caption, const std::string& text, bool error) override;

    // The virtual key for an SDL scancode, 0 when the key has none.
    static UINT virtualKeyFor(int scancode);

  private:
    SdlBackend() = default;
    struct Native
    {
        SDL_Window* window = nullptr;
        unsigned id = 0;
        int scale = 1;
    };
    HWND windowOf(unsigned sdlId) const;
    std::map<HWND, Native> m_windows;
    bool m_buttonHeld = false;
};

} // namespace platform

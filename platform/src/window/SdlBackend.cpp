#include "platform/window/SdlBackend.h"

#include "platform/DeviceProfile.h"
#include "platform/clock.h"
#include "platform/window/WindowSystem.h"
#include "platform/windows.h"

#include <SDL.h>

#include <cstring>

namespace platform {

std::unique_ptr<SdlBackend> SdlBackend::create()
{
    if (SDL_InitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS) != 0)
        return nullptr;
    // Without a screen (the offscreen driver of tests and CI) a GL-backed window surface only
    // loads graphics drivers that keep allocations past exit.
    const char* driver = SDL_GetCurrentVideoDriver();
    if (driver && std::strcmp(driver, "offscreen") == 0)
        SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    return std::unique_ptr<SdlBackend>(new SdlBackend);
}

SdlBackend::~SdlBackend()
{
    for (auto& [h, n] : m_windows)
        SDL_DestroyWindow(n.window);
    // The video subsystem stays up for the process: quitting it unloads the system's display
    // libraries, and a later backend would load them all again.
}

bool SdlBackend::createWindow(HWND window, const std::string& title, int width, int height)
{
    Native n;
    n.scale = WindowSystem::scale();
    n.window = SDL_CreateWindow(title.c_str(), SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED,
                                width * n.scale, height * n.scale, SDL_WINDOW_SHOWN);
    if (!n.window)
        return false;
    n.id = SDL_GetWindowID(n.window);
    m_windows[window] = n;
    return true;
}

void SdlBackend::destroyWindow(HWND window)
{
    auto it = m_windows.find(window);
    if (it == m_windows.end())
        return;
    SDL_DestroyWindow(it->second.window);
    m_windows.erase(it);
}

void SdlBackend::present(HWND window, const uint16_t* pixels, int width, int height)
{
    auto it = m_windows.find(window);
    if (it == m_windows.end())
        return;
    // A software scale into the window's own surface: whole pixels, nothing to filter, and no
    // graphics-library driver to load for a 240 x 320 picture.
    SDL_Window* native = it->second.window;
    SDL_Surface* target = SDL_GetWindowSurface(native);
    SDL_Surface* source = SDL_CreateRGBSurfaceWithFormatFrom(
        const_cast<uint16_t*>(pixels), width, height, 16, width * 2, SDL_PIXELFORMAT_RGB565);
    if (!target || !source) {
        SDL_FreeSurface(source);
        return;
    }
    SDL_BlitScaled(source, nullptr, target, nullptr);
    SDL_FreeSurface(source);
    SDL_UpdateWindowSurface(native);
}

void SdlBackend::raise(HWND window)
{
    auto it = m_windows.find(window);
    if (it != m_windows.end())
        SDL_RaiseWindow(it->second.window);
}

HWND SdlBackend::windowOf(unsigned sdlId) const
{
    for (auto& [h, n] : m_windows)
        if (n.id == sdlId)
            return h;
    // Events without a window (SDL_QUIT) go to the first window.
    return sdlId == 0 && !m_windows.empty() ? m_windows.begin()->first : nullptr;
}

void SdlBackend::poll(std::vector<NativeEvent>& out)
{
    SDL_Event e;
    while (SDL_PollEvent(&e)) {
        NativeEvent n;
        switch (e.type) {
        case SDL_QUIT:
            n.kind = NativeEvent::Kind::Close;
            n.window = windowOf(0);
            break;
        case SDL_KEYDOWN:
        case SDL_KEYUP:
            n.kind = e.type == SDL_KEYDOWN ? NativeEvent::Kind::KeyDown : NativeEvent::Kind::KeyUp;
            n.window = windowOf(e.key.windowID);
            n.virtualKey = virtualKeyFor(e.key.keysym.scancode);
            n.repeat = e.key.repeat != 0;
            if (!n.virtualKey)
                continue;
            break;
        case SDL_MOUSEBUTTONDOWN:
        case SDL_MOUSEBUTTONUP:
        case SDL_MOUSEMOTION: {
            unsigned id = e.type == SDL_MOUSEMOTION ? e.motion.windowID : e.button.windowID;
            n.window = windowOf(id);
            auto it = m_windows.find(n.window);
            int scale = it == m_windows.end() ? 1 : it->second.scale;
            if (e.type == SDL_MOUSEMOTION) {
                n.kind = NativeEvent::Kind::MouseMove;
                n.x = e.motion.x / scale;
                n.y = e.motion.y / scale;
                n.buttonHeld = (e.motion.state & SDL_BUTTON_LMASK) != 0;
            } else {
                if (e.button.button != SDL_BUTTON_LEFT)
                    continue;
                bool down = e.type == SDL_MOUSEBUTTONDOWN;
                n.kind = down ? NativeEvent::Kind::MouseDown : NativeEvent::Kind::MouseUp;
                n.x = e.button.x / scale;
                n.y = e.button.y / scale;
                m_buttonHeld = down;
            }
            break;
        }
        case SDL_WINDOWEVENT:
            n.window = windowOf(e.window.windowID);
            switch (e.window.event) {
            case SDL_WINDOWEVENT_FOCUS_GAINED:
            case SDL_WINDOWEVENT_RESTORED:
                n.kind = NativeEvent::Kind::Activate;
                break;
            case SDL_WINDOWEVENT_FOCUS_LOST:
            case SDL_WINDOWEVENT_MINIMIZED:
                n.kind = NativeEvent::Kind::Deactivate;
                break;
            case SDL_WINDOWEVENT_EXPOSED:
                n.kind = NativeEvent::Kind::Expose;
                break;
            case SDL_WINDOWEVENT_CLOSE:
                n.kind = NativeEvent::Kind::Close;
                break;
            default:
                continue;
            }
            break;
        default:
            continue;
        }
        if (n.window)
            out.push_back(n);
    }
}

bool SdlBackend::wait(int timeoutMs)
{
    if (platform::clockIsFake()) {
        // The desktop's events are looked at, but the wait is the fake clock's time.
        if (SDL_PollEvent(nullptr))
            return true;
        if (timeoutMs > 0)
            platform::waitMillis(static_cast<DWORD>(timeoutMs));
        return SDL_PollEvent(nullptr) != 0;
    }
    return SDL_WaitEventTimeout(nullptr, timeoutMs) != 0;
}

bool SdlBackend::messageBox(const std::string& caption, const std::string& text, bool error)
{
    Uint32 flags = error ? SDL_MESSAGEBOX_ERROR : SDL_MESSAGEBOX_INFORMATION;
    return SDL_ShowSimpleMessageBox(flags, caption.c_str(), text.c_str(), nullptr) == 0;
}

UINT SdlBackend::virtualKeyFor(int sc)
{
    if (sc >= SDL_SCANCODE_A && sc <= SDL_SCANCODE_Z)
        return 'A' + (sc - SDL_SCANCODE_A);
    if (sc >= SDL_SCANCODE_1 && sc <= SDL_SCANCODE_9)
        return '1' + (sc - SDL_SCANCODE_1);
    if (sc >= SDL_SCANCODE_F1 && sc <= SDL_SCANCODE_F12)
        return VK_F1 + (sc - SDL_SCANCODE_F1);
    // Keypad digits are the handheld's digit keys (2, 4, 6, 8 and 5 its cursor and fire keys).
    if (sc >= SDL_SCANCODE_KP_1 && sc <= SDL_SCANCODE_KP_9)
        return '1' + (sc - SDL_SCANCODE_KP_1);
    const bool smartphone = DeviceProfile::current().platformType == u"SmartPhone";
    switch (sc) {
    case SDL_SCANCODE_0:
        return '0';
    case SDL_SCANCODE_KP_0:
        return '0';
    case SDL_SCANCODE_RETURN:
        return VK_RETURN;
    case SDL_SCANCODE_KP_ENTER:
        return VK_RETURN;
    case SDL_SCANCODE_ESCAPE:
        return VK_ESCAPE;
    case SDL_SCANCODE_BACKSPACE:
        return VK_BACK;
    case SDL_SCANCODE_TAB:
        return VK_TAB;
    case SDL_SCANCODE_SPACE:
        return VK_SPACE;
    case SDL_SCANCODE_LEFT:
        return VK_LEFT;
    case SDL_SCANCODE_RIGHT:
        return VK_RIGHT;
    case SDL_SCANCODE_UP:
        return VK_UP;
    case SDL_SCANCODE_DOWN:
        return VK_DOWN;
    case SDL_SCANCODE_PAGEUP:
        return VK_PRIOR;
    case SDL_SCANCODE_PAGEDOWN:
        return VK_NEXT;
    case SDL_SCANCODE_HOME:
        return VK_HOME;
    case SDL_SCANCODE_END:
        return VK_END;
    case SDL_SCANCODE_INSERT:
        return VK_INSERT;
    case SDL_SCANCODE_DELETE:
        return VK_DELETE;
    case SDL_SCANCODE_LSHIFT:
    case SDL_SCANCODE_RSHIFT:
        return VK_SHIFT;
    case SDL_SCANCODE_LCTRL:
    case SDL_SCANCODE_RCTRL:
        return VK_CONTROL;
    case SDL_SCANCODE_LALT:
    case SDL_SCANCODE_RALT:
        return VK_MENU;
    case SDL_SCANCODE_PAUSE:
        return VK_PAUSE;
    case SDL_SCANCODE_CAPSLOCK:
        return VK_CAPITAL;
    case SDL_SCANCODE_NUMLOCKCLEAR:
        return VK_NUMLOCK;
    case SDL_SCANCODE_SCROLLLOCK:
        return VK_SCROLL;
    case SDL_SCANCODE_APPLICATION:
        return VK_APPS;
    case SDL_SCANCODE_KP_PLUS:
        return VK_ADD;
    case SDL_SCANCODE_KP_MINUS:
        return VK_SUBTRACT;
    case SDL_SCANCODE_KP_DIVIDE:
        return VK_DIVIDE;
    case SDL_SCANCODE_KP_PERIOD:
        return VK_DECIMAL;
    // The device's own keys for a desktop keyboard: keypad * is the star key, # the hash key;
    // a smartphone has them as F8 and F9.
    case SDL_SCANCODE_KP_MULTIPLY:
        return smartphone ? VK_F1 + 7 : VK_APP2;
    case SDL_SCANCODE_KP_HASH:
    case SDL_SCANCODE_BACKSLASH:
        return smartphone ? VK_F1 + 8 : VK_APP3;
    default:
        return 0;
    }
}

} // namespace platform

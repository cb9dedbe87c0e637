#include "platform/window/SdlBackend.h"

#include "platform/DeviceProfile.h"
#include "platform/clock.h"
#include "platform/window/MessageWake.h"
#include "platform/window/WindowSystem.h"
#include "platform/windows.h"

#include <SDL.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <string_view>
#include <thread>

namespace platform {

namespace {

// SDL's wait cannot watch a descriptor, and a signal handler cannot push an SDL event: a thread
// of its own turns each wake (a stop request) into an event that ends SDL's wait. One for the
// process, as the video subsystem is.
void startWakeRelay()
{
    static const bool started = [] {
        const int listener = newWakeListener();
        if (listener < 0)
            return false;
        std::thread([listener] {
            for (;;) {
                if (!waitForWake(listener, -1))
                    continue;
                SDL_Event wake{};
                wake.type = SDL_USEREVENT;
                SDL_PushEvent(&wake);
            }
        }).detach();
        return true;
    }();
    (void)started;
}

// Whether SDL_VIDEODRIVER (a comma-separated list) names `driver`.
bool askedFor(const char* driver)
{
    const char* hint = SDL_GetHint(SDL_HINT_VIDEODRIVER);
    std::string_view list = hint ? hint : "";
    while (!list.empty()) {
        const size_t comma = list.find(',');
        const std::string_view name = list.substr(0, comma);
        if (name.size() == std::strlen(driver) &&
            SDL_strncasecmp(name.data(), driver, name.size()) == 0)
            return true;
        list = comma == std::string_view::npos ? std::string_view() : list.substr(comma + 1);
    }
    return false;
}

} // namespace

std::unique_ptr<SdlBackend> SdlBackend::create(std::string* failure)
{
    if (SDL_InitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS) != 0) {
        if (failure)
            *failure = SDL_GetError();
        return nullptr;
    }
    const char* driver = SDL_GetCurrentVideoDriver();
    if (!driver ||
        ((SDL_strcasecmp(driver, "offscreen") == 0 || SDL_strcasecmp(driver, "dummy") == 0) &&
         !askedFor(driver))) {
        if (failure)
            *failure =
                std::string("SDL found only its invisible ") + (driver ? driver : "") + " driver";
        SDL_QuitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS);
        return nullptr;
    }
    // Frames are widened and scaled by us straight into the window's own pixels. Where the
    // driver has such pixels (X11, and the offscreen driver of tests and CI), SDL must not put
    // a graphics-library texture behind them: uploading it costs more than the whole game, and
    // without a graphics card it runs a software renderer's threads. The player's own
    // SDL_FRAMEBUFFER_ACCELERATION still wins.
    if (std::strcmp(driver, "x11") == 0 || std::strcmp(driver, "offscreen") == 0)
        SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    startWakeRelay();
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
    int scale = WindowSystem::scale();
    SDL_Rect usable;
    if (!DeviceProfile::current().scaleChosen && SDL_GetDisplayUsableBounds(0, &usable) == 0)
        scale = fittingScale(usable.w, usable.h, width, height, scale);
    Native n;
    n.screenWidth = width;
    n.screenHeight = height;
    n.window =
        SDL_CreateWindow(title.c_str(), SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED,
                         width * scale, height * scale, SDL_WINDOW_SHOWN | SDL_WINDOW_RESIZABLE);
    if (!n.window)
        return false;
    SDL_SetWindowMinimumSize(n.window, width, height);
    n.id = SDL_GetWindowID(n.window);
    m_windows[window] = std::move(n);
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

ScreenPlacement SdlBackend::placement(HWND window) const
{
    auto it = m_windows.find(window);
    if (it == m_windows.end())
        return {};
    int w = 0, h = 0;
    SDL_GetWindowSize(it->second.window, &w, &h);
    return ScreenPlacement::fit(w, h, it->second.screenWidth, it->second.screenHeight);
}

bool SdlBackend::drawFast(Native& n, SDL_Surface* target, const uint16_t* pixels, int width,
                          int height, const ScreenPlacement& at)
{
    const SDL_PixelFormat* f = target->format;
    if (f->BytesPerPixel != 4 || f->Rloss || f->Gloss || f->Bloss)
        return false;
    if (!n.expander || n.expanderFormat != f->format) {
        // Bits outside the three channels (alpha, or padding) are set, as SDL's conversion
        // sets them.
        const uint32_t rest = ~(f->Rmask | f->Gmask | f->Bmask);
        n.expander = std::make_unique<Rgb565Expander>(f->Rshift, f->Gshift, f->Bshift, rest);
        n.expanderFormat = f->format;
    }
    n.expander->draw(pixels, width, height, at, static_cast<uint32_t*>(target->pixels), target->w,
                     target->h, target->pitch);
    return true;
}

void SdlBackend::present(HWND window, const uint16_t* pixels, int width, int height)
{
    auto it = m_windows.find(window);
    if (it == m_windows.end())
        return;
    Native& n = it->second;
    SDL_Surface* target = SDL_GetWindowSurface(n.window);
    if (!target)
        return;
    const ScreenPlacement at = ScreenPlacement::fit(target->w, target->h, width, height);
    // A new surface (the window changed size) or a repaint of the desktop's: blacken the
    // borders once and send the whole window; otherwise only the picture changes.
    const bool whole = n.wholeWindow || target != n.surface || target->w != n.surfaceWidth ||
                       target->h != n.surfaceHeight;
    const size_t count = static_cast<size_t>(width) * static_cast<size_t>(height);
    if (!whole && n.lastFrameWidth == width && n.lastFrame.size() == count &&
        std::memcmp(n.lastFrame.data(), pixels, count * sizeof *pixels) == 0)
        return;
    if (SDL_MUSTLOCK(target) && SDL_LockSurface(target) != 0)
        return;
    if (whole)
        SDL_FillRect(target, nullptr, SDL_MapRGB(target->format, 0, 0, 0));
    bool drawn = drawFast(n, target, pixels, width, height, at);
    if (SDL_MUSTLOCK(target))
        SDL_UnlockSurface(target);
    if (!drawn) {
        // Any other surface format: SDL's own conversion, slower but right.
        SDL_Surface* source = SDL_CreateRGBSurfaceWithFormatFrom(
            const_cast<uint16_t*>(pixels), width, height, 16, width * 2, SDL_PIXELFORMAT_RGB565);
        if (!source)
            return;
        SDL_Rect to{at.x, at.y, at.width, at.height};
        SDL_BlitScaled(source, nullptr, target, &to);
        SDL_FreeSurface(source);
    }
    n.lastFrame.assign(pixels, pixels + count);
    n.lastFrameWidth = width;
    n.surface = target;
    n.surfaceWidth = target->w;
    n.surfaceHeight = target->h;
    n.wholeWindow = false;
    SDL_Rect shown{std::max(at.x, 0), std::max(at.y, 0), std::min(at.width, target->w),
                   std::min(at.height, target->h)};
    if (whole)
        SDL_UpdateWindowSurface(n.window);
    else
        SDL_UpdateWindowSurfaceRects(n.window, &shown, 1);
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

SdlBackend::Native* SdlBackend::nativeOf(unsigned sdlId)
{
    for (auto& [h, n] : m_windows)
        if (n.id == sdlId)
            return &n;
    return nullptr;
}

bool SdlBackend::isFullScreenKey(int scancode, bool altHeld)
{
    return scancode == SDL_SCANCODE_F11 ||
           (altHeld && (scancode == SDL_SCANCODE_RETURN || scancode == SDL_SCANCODE_KP_ENTER));
}

bool SdlBackend::takeWindowKey(Native& n, bool down, int scancode, bool altHeld)
{
    // The press, its repeats and its release are all the window's, whatever Alt does between.
    if (!down)
        return m_windowKeysHeld.erase(scancode) > 0;
    if (m_windowKeysHeld.count(scancode))
        return true;
    if (!isFullScreenKey(scancode, altHeld))
        return false;
    m_windowKeysHeld.insert(scancode);
    const bool full = (SDL_GetWindowFlags(n.window) & SDL_WINDOW_FULLSCREEN) != 0;
    SDL_SetWindowFullscreen(n.window, full ? 0 : SDL_WINDOW_FULLSCREEN_DESKTOP);
    n.wholeWindow = true;
    return true;
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
        case SDL_KEYUP: {
            const bool down = e.type == SDL_KEYDOWN;
            if (Native* native = nativeOf(e.key.windowID);
                native && takeWindowKey(*native, down, e.key.keysym.scancode,
                                        (e.key.keysym.mod & KMOD_ALT) != 0))
                continue;
            n.kind = down ? NativeEvent::Kind::KeyDown : NativeEvent::Kind::KeyUp;
            n.window = windowOf(e.key.windowID);
            n.virtualKey = virtualKeyFor(e.key.keysym.scancode);
            n.repeat = e.key.repeat != 0;
            if (!n.virtualKey)
                continue;
            break;
        }
        case SDL_MOUSEBUTTONDOWN:
        case SDL_MOUSEBUTTONUP:
        case SDL_MOUSEMOTION: {
            unsigned id = e.type == SDL_MOUSEMOTION ? e.motion.windowID : e.button.windowID;
            n.window = windowOf(id);
            // Window pixels to screen pixels, through the scale and the black border.
            const ScreenPlacement at = placement(n.window);
            if (e.type == SDL_MOUSEMOTION) {
                n.kind = NativeEvent::Kind::MouseMove;
                n.x = at.toScreenX(e.motion.x);
                n.y = at.toScreenY(e.motion.y);
                n.buttonHeld = (e.motion.state & SDL_BUTTON_LMASK) != 0;
            } else {
                if (e.button.button != SDL_BUTTON_LEFT)
                    continue;
                bool down = e.type == SDL_MOUSEBUTTONDOWN;
                n.kind = down ? NativeEvent::Kind::MouseDown : NativeEvent::Kind::MouseUp;
                n.x = at.toScreenX(e.button.x);
                n.y = at.toScreenY(e.button.y);
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
            case SDL_WINDOWEVENT_SIZE_CHANGED:
                // Shown again at once, also while the program is paused, borders and all.
                if (Native* native = nativeOf(e.window.windowID))
                    native->wholeWindow = true;
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
    // F11 has its key here but never reaches the program: poll keeps it for full screen.
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

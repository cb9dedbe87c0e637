#include "platform/window/WindowSystem.h"

#include "platform/testing/HeadlessBackend.h"

#include "platform/DeviceProfile.h"
#include "platform/clock.h"
#include "platform/gdi/GdiObjects.h"
#include "platform/threads.h"
#include "platform/window/InstanceRegistry.h"
#include "platform/window/MessageWake.h"
#include "platform/window/SdlBackend.h"
#include "platform/window/StopSignals.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <map>
#include <unistd.h>

namespace platform {

namespace {

struct Window
{
    std::u16string className;
    std::u16string title;
    WNDPROC proc = nullptr;
    int width = 0;
    int height = 0;
    std::vector<uint16_t> store;
    // A bitmap shown in place (gdi::presentInPlace): the window's pixels until they are needed.
    gdi::Bitmap* inPlace = nullptr;
    bool visible = false;
    bool updatePending = false;
    DWORD shell = 0;
};

struct ClassEntry
{
    WNDCLASSW wc{};
    std::u16string name;
};

struct State
{
    std::unique_ptr<WindowBackend> backend;
    std::map<HWND, Window> windows;
    std::map<std::u16string, ClassEntry> classes;
    std::deque<MSG> queue;
    uintptr_t nextHandle = 0x10000;
    HWND active = nullptr;
    HWND foreground = nullptr;
    bool quit = false;
    int quitCode = 0;
    bool presenterInstalled = false;
    std::vector<MessageBoxRecord> recordedBoxes;
    unsigned stopsTaken = 0; // stop requests already turned into WM_CLOSE
};

State& state()
{
    static State* s = new State; // windows may be destroyed from static destructors
    return *s;
}

Window* find(HWND h)
{
    auto& w = state().windows;
    auto it = w.find(h);
    return it == w.end() ? nullptr : &it->second;
}

std::string utf8(const char16_t* text)
{
    std::string out;
    if (!text)
        return out;
    for (size_t i = 0; text[i]; ++i) {
        uint32_t c = text[i];
        if (c >= 0xD800 && c < 0xDC00 && text[i + 1] >= 0xDC00 && text[i + 1] < 0xE000) {
            c = 0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            ++i;
        }
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += static_cast<char>(0xE0 | (c >> 12));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (c >> 18));
            out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

// The pixels the window shows: its own, or those of the bitmap it shows in place.
const uint16_t* shownPixels(const Window& w)
{
    return w.inPlace ? reinterpret_cast<const uint16_t*>(w.inPlace->storage.data())
                     : w.store.data();
}

// The bitmap shown in place becomes the window's own pixels.
void takeOwnPixels(Window& w)
{
    if (!w.inPlace)
        return;
    std::memcpy(w.store.data(), w.inPlace->storage.data(), w.store.size() * 2);
    w.inPlace = nullptr;
}

// Whether the copy covers the whole window with the whole bitmap, rows without gaps.
bool showsInPlace(const Window& w, const gdi::Bitmap& source, int srcX, int srcY, int x, int y,
                  int width, int height)
{
    return source.showInPlace && source.bitsPerPixel == 16 && source.topDown &&
           source.width == w.width && source.height == w.height && source.pitch == w.width * 2 &&
           srcX == 0 && srcY == 0 && x == 0 && y == 0 && width == w.width && height == w.height;
}

// Copies a rectangle of a GDI bitmap into the window's backing store and shows it; a whole
// frame of a bitmap that allows it is shown in place, without the copy.
void presentFromBitmap(HWND window, gdi::Bitmap& source, int srcX, int srcY, int x, int y,
                       int width, int height)
{
    Window* w = find(window);
    if (!w)
        return;
    if (showsInPlace(*w, source, srcX, srcY, x, y, width, height)) {
        w->inPlace = &source;
        WindowSystem::presentBackingStore(window);
        return;
    }
    takeOwnPixels(*w);
    for (int row = 0; row < height; ++row) {
        int dy = y + row;
        if (dy < 0 || dy >= w->height)
            continue;
        uint16_t* dst = w->store.data() + static_cast<size_t>(dy) * w->width;
        int x0 = std::max(x, 0), x1 = std::min(x + width, w->width);
        if (x0 >= x1)
            continue;
        if (source.bitsPerPixel == 16) {
            const uint8_t* src = source.row(srcY + row) + (srcX + x0 - x) * 2;
            std::memcpy(dst + x0, src, static_cast<size_t>(x1 - x0) * 2);
        } else {
            for (int dx = x0; dx < x1; ++dx) {
                uint32_t c = source.pixel(srcX + dx - x, srcY + row);
                dst[dx] = static_cast<uint16_t>(((c >> 8) & 0xF800) | ((c >> 5) & 0x07E0) |
                                                ((c >> 3) & 0x001F));
            }
        }
    }
    WindowSystem::presentBackingStore(window);
}

void bitmapDeleted(gdi::Bitmap& bitmap)
{
    for (auto& [handle, w] : state().windows)
        if (w.inPlace == &bitmap)
            takeOwnPixels(w);
}

void ensurePresenter()
{
    State& s = state();
    if (!s.presenterInstalled) {
        gdi::setWindowPresenter(presentFromBitmap);
        gdi::setBitmapDeletion(bitmapDeleted);
        s.presenterInstalled = true;
    }
}

void activate(HWND window, bool on)
{
    State& s = state();
    if (on) {
        if (s.active == window)
            return;
        s.active = window;
        s.foreground = window;
        // The window is painted again on its return: a loop that blocked in GetMessageW while
        // inactive gets a message to wake on and goes back to ticking, also when the desktop
        // sends no expose with the focus.
        if (Window* w = find(window))
            w->updatePending = true;
        SendMessageW(window, WM_ACTIVATE, WA_ACTIVE, 0);
    } else {
        // No deactivation before the first activation, and none twice in a row.
        if (s.active != window)
            return;
        s.active = nullptr;
        SendMessageW(window, WM_ACTIVATE, WA_INACTIVE, 0);
    }
}

LPARAM packPoint(const Window& w, int x, int y)
{
    x = std::clamp(x, 0, std::max(w.width - 1, 0));
    y = std::clamp(y, 0, std::max(w.height - 1, 0));
    return MAKELPARAM(x, y);
}

// The newest message of the window still in the queue, or null.
MSG* lastQueuedFor(HWND window)
{
    auto& q = state().queue;
    for (auto it = q.rbegin(); it != q.rend(); ++it)
        if (it->hwnd == window)
            return &*it;
    return nullptr;
}

// Desktop input arrives much faster than the program takes it (one message per loop pass): a
// run of moves with the same button state keeps only its newest, and a held key's auto-repeat
// is dropped while an earlier repeat of it still waits, so a long hold cannot push its release
// seconds back.
bool coalesced(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_MOUSEMOVE) {
        MSG* last = lastQueuedFor(window);
        if (last && last->message == WM_MOUSEMOVE && last->wParam == wParam) {
            last->lParam = lParam;
            return true;
        }
    } else if (message == WM_KEYDOWN && (lParam & KF_REPEAT_BIT)) {
        for (const MSG& m : state().queue)
            if (m.hwnd == window && m.message == WM_KEYDOWN && m.wParam == wParam &&
                (m.lParam & KF_REPEAT_BIT))
                return true;
    }
    return false;
}

void post(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (coalesced(window, message, wParam, lParam))
        return;
    MSG m{};
    m.hwnd = window;
    m.message = message;
    m.wParam = wParam;
    m.lParam = lParam;
    m.time = 0;
    state().queue.push_back(m);
}

void translate(const NativeEvent& e)
{
    Window* w = find(e.window);
    if (!w)
        return;
    using K = NativeEvent::Kind;
    switch (e.kind) {
    case K::KeyDown:
        post(e.window, WM_KEYDOWN, e.virtualKey, 1 | (e.repeat ? KF_REPEAT_BIT : 0));
        break;
    case K::KeyUp:
        post(e.window, WM_KEYUP, e.virtualKey, static_cast<LPARAM>(1 | 0xC0000000u));
        break;
    case K::MouseDown:
        post(e.window, WM_LBUTTONDOWN, MK_LBUTTON, packPoint(*w, e.x, e.y));
        break;
    case K::MouseUp:
        post(e.window, WM_LBUTTONUP, 0, packPoint(*w, e.x, e.y));
        break;
    case K::MouseMove:
        post(e.window, WM_MOUSEMOVE, e.buttonHeld ? MK_LBUTTON : 0, packPoint(*w, e.x, e.y));
        break;
    case K::Activate:
        activate(e.window, true);
        break;
    case K::Deactivate:
        activate(e.window, false);
        break;
    case K::Expose:
        WindowSystem::presentBackingStore(e.window);
        w->updatePending = true;
        break;
    case K::Close:
        post(e.window, WM_CLOSE, 0, 0);
        break;
    case K::Raise:
        WindowSystem::backend().raise(e.window);
        break;
    }
}

// A stop request (Ctrl+C, kill) closes the program's first window, as the desktop's close does,
// ahead of any input still queued. Without a window it waits for one.
void takeStopRequests()
{
    State& s = state();
    const unsigned requests = stopRequests();
    if (requests == s.stopsTaken || s.windows.empty())
        return;
    s.stopsTaken = requests;
    MSG m{};
    m.hwnd = s.windows.begin()->first;
    m.message = WM_CLOSE;
    s.queue.push_front(m);
}

void pump()
{
    takeStopRequests();
    std::vector<NativeEvent> events;
    WindowSystem::backend().poll(events);
    for (const NativeEvent& e : events)
        translate(e);
    for (HWND w : InstanceRegistry::takeRaiseRequests())
        if (find(w))
            WindowSystem::backend().raise(w);
}

bool matches(const MSG& m, HWND window, UINT lo, UINT hi)
{
    if (window && m.hwnd != window)
        return false;
    if (lo == 0 && hi == 0)
        return true;
    return m.message >= lo && m.message <= hi;
}

// Takes the next message for the filter; a paint is made up only when nothing else waits.
bool take(MSG* out, HWND window, UINT lo, UINT hi, bool remove)
{
    State& s = state();
    if (s.quit) {
        MSG m{};
        m.message = WM_QUIT;
        m.wParam = static_cast<WPARAM>(s.quitCode);
        if (remove)
            s.quit = false;
        *out = m;
        return true;
    }
    for (auto it = s.queue.begin(); it != s.queue.end(); ++it) {
        if (matches(*it, window, lo, hi)) {
            *out = *it;
            if (remove)
                s.queue.erase(it);
            return true;
        }
    }
    for (auto& [h, w] : s.windows) {
        if (w.visible && w.updatePending && (!window || window == h) &&
            ((lo == 0 && hi == 0) || (WM_PAINT >= lo && WM_PAINT <= hi))) {
            MSG m{};
            m.hwnd = h;
            m.message = WM_PAINT;
            *out = m;
            return true;
        }
    }
    return false;
}

} // namespace

void WindowSystem::setBackend(std::unique_ptr<WindowBackend> backend)
{
    state().backend = std::move(backend);
}

HeadlessBackend& WindowSystem::useHeadless()
{
    auto h = std::make_unique<HeadlessBackend>();
    HeadlessBackend& ref = *h;
    state().backend = std::move(h);
    return ref;
}

WindowBackend& WindowSystem::backend()
{
    State& s = state();
    if (!s.backend) {
        if (DeviceProfile::current().windowBackend == WindowMode::Sdl)
            s.backend = SdlBackend::create();
        if (!s.backend)
            s.backend = std::make_unique<HeadlessBackend>();
    }
    return *s.backend;
}

void WindowSystem::setScale(int scale)
{
    DeviceProfile::current().scale = std::max(scale, 1);
    DeviceProfile::current().scaleChosen = true;
}

const std::vector<MessageBoxRecord>& WindowSystem::recordedMessageBoxes()
{
    return state().recordedBoxes;
}

int WindowSystem::scale()
{
    return std::max(DeviceProfile::current().scale, 1);
}

const std::vector<uint16_t>* WindowSystem::backingStore(HWND window)
{
    return mutableBackingStore(window);
}

std::vector<uint16_t>* WindowSystem::mutableBackingStore(HWND window)
{
    Window* w = find(window);
    if (!w)
        return nullptr;
    takeOwnPixels(*w);
    return &w->store;
}

void WindowSystem::presentBackingStore(HWND window)
{
    Window* w = find(window);
    if (w && w->visible)
        backend().present(window, shownPixels(*w), w->width, w->height);
}

DWORD WindowSystem::shellState(HWND window)
{
    Window* w = find(window);
    return w ? w->shell : 0;
}

void WindowSystem::setShellState(HWND window, DWORD bits)
{
    if (Window* w = find(window))
        w->shell = bits;
}

size_t WindowSystem::windowCount()
{
    return state().windows.size();
}

void WindowSystem::resetForTests()
{
    State& s = state();
    std::vector<HWND> handles;
    for (auto& [h, w] : s.windows)
        handles.push_back(h);
    for (HWND h : handles)
        DestroyWindow(h);
    s.classes.clear();
    s.queue.clear();
    s.recordedBoxes.clear();
    s.active = s.foreground = nullptr;
    s.quit = false;
    s.stopsTaken = stopRequests();
    clearWakes();
}

} // namespace platform

using platform::state;

WORD RegisterClassW(const WNDCLASSW* wc)
{
    if (!wc || !wc->lpszClassName || !wc->lpfnWndProc) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    auto& classes = state().classes;
    std::u16string name(wc->lpszClassName);
    if (classes.count(name)) {
        SetLastError(ERROR_CLASS_ALREADY_EXISTS);
        return 0;
    }
    platform::ClassEntry& e = classes[name];
    e.wc = *wc;
    e.name = name;
    e.wc.lpszClassName = e.name.c_str();
    return static_cast<WORD>(0xC000 + classes.size());
}

BOOL UnregisterClassW(LPCWSTR className, HINSTANCE)
{
    if (!className || state().classes.erase(className) == 0) {
        SetLastError(ERROR_CLASS_DOES_NOT_EXIST);
        return FALSE;
    }
    return TRUE;
}

HWND CreateWindowExW(DWORD, LPCWSTR className, LPCWSTR title, DWORD style, int, int, int width,
                     int height, HWND, HMENU, HINSTANCE, LPVOID)
{
    platform::State& s = state();
    auto cls = className ? s.classes.find(className) : s.classes.end();
    if (cls == s.classes.end()) {
        SetLastError(ERROR_CANNOT_FIND_WND_CLASS);
        return nullptr;
    }
    if (width <= 0 || height <= 0 || width > 4096 || height > 4096) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    platform::ensurePresenter();
    HWND h = reinterpret_cast<HWND>(s.nextHandle);
    s.nextHandle += 4;
    platform::Window w;
    w.className = className;
    w.title = title ? title : u"";
    w.proc = cls->second.wc.lpfnWndProc;
    w.width = width;
    w.height = height;
    w.store.assign(static_cast<size_t>(width) * height, 0);
    if (!platform::WindowSystem::backend().createWindow(h, platform::utf8(w.title.c_str()), width,
                                                        height)) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    platform::InstanceRegistry::claim(h, w.className, w.title);
    s.windows.emplace(h, std::move(w));
    SendMessageW(h, WM_CREATE, 0, 0);
    if (platform::Window* made = platform::find(h); made && (style & WS_VISIBLE)) {
        made->visible = true;
        made->updatePending = true;
    }
    return platform::find(h) ? h : nullptr;
}

BOOL DestroyWindow(HWND window)
{
    if (!platform::find(window)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    SendMessageW(window, WM_DESTROY, 0, 0);
    platform::State& s = state();
    s.windows.erase(window);
    platform::InstanceRegistry::release(window);
    platform::WindowSystem::backend().destroyWindow(window);
    s.queue.erase(std::remove_if(s.queue.begin(), s.queue.end(),
                                 [window](const MSG& m) { return m.hwnd == window; }),
                  s.queue.end());
    if (s.active == window)
        s.active = nullptr;
    if (s.foreground == window)
        s.foreground = nullptr;
    return TRUE;
}

BOOL IsWindow(HWND window)
{
    return platform::find(window) ? TRUE : FALSE;
}

BOOL ShowWindow(HWND window, int command)
{
    platform::Window* w = platform::find(window);
    if (!w)
        return FALSE;
    bool was = w->visible;
    if (command == SW_HIDE) {
        w->visible = false;
        platform::activate(window, false);
        return was;
    }
    w->visible = true;
    w->updatePending = true;
    platform::activate(window, true);
    return was;
}

BOOL UpdateWindow(HWND window)
{
    platform::Window* w = platform::find(window);
    if (!w)
        return FALSE;
    if (w->visible && w->updatePending)
        SendMessageW(window, WM_PAINT, 0, 0);
    return TRUE;
}

BOOL InvalidateRect(HWND window, const RECT*, BOOL)
{
    platform::Window* w = platform::find(window);
    if (!w)
        return FALSE;
    w->updatePending = true;
    return TRUE;
}

BOOL GetClientRect(HWND window, RECT* rect)
{
    platform::Window* w = platform::find(window);
    if (!w || !rect)
        return FALSE;
    *rect = RECT{0, 0, w->width, w->height};
    return TRUE;
}

LONG_PTR SetWindowLongW(HWND window, int index, LONG_PTR value)
{
    platform::Window* w = platform::find(window);
    if (!w || index != GWL_WNDPROC || value == 0) {
        SetLastError(w ? ERROR_INVALID_PARAMETER : ERROR_INVALID_WINDOW_HANDLE);
        return 0;
    }
    LONG_PTR old = reinterpret_cast<LONG_PTR>(w->proc);
    w->proc = reinterpret_cast<WNDPROC>(value);
    return old;
}

LONG_PTR GetWindowLongW(HWND window, int index)
{
    platform::Window* w = platform::find(window);
    if (!w || index != GWL_WNDPROC) {
        SetLastError(w ? ERROR_INVALID_PARAMETER : ERROR_INVALID_WINDOW_HANDLE);
        return 0;
    }
    return reinterpret_cast<LONG_PTR>(w->proc);
}

LRESULT DefWindowProcW(HWND window, UINT message, WPARAM, LPARAM)
{
    switch (message) {
    case WM_PAINT:
        if (platform::Window* w = platform::find(window))
            w->updatePending = false;
        return 0;
    case WM_CLOSE:
        DestroyWindow(window);
        return 0;
    default:
        return 0;
    }
}

LRESULT CallWindowProcW(WNDPROC proc, HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return proc ? proc(window, message, wParam, lParam) : 0;
}

BOOL GetMessageW(MSG* msg, HWND window, UINT lo, UINT hi)
{
    if (!msg)
        return -1;
    if (window && !platform::find(window)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return -1;
    }
    for (;;) {
        platform::pump();
        if (platform::take(msg, window, lo, hi, true))
            return msg->message == WM_QUIT ? 0 : 1;
        platform::WindowSystem::backend().wait(50);
    }
}

DWORD MsgWaitForMultipleObjects(DWORD count, const HANDLE*, BOOL, DWORD milliseconds, DWORD)
{
    if (count != 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return WAIT_FAILED;
    }
    // A backend's wait may end early (a desktop event that makes no message, a wake): the time
    // is kept here, on the program's clock.
    constexpr int64_t kSliceMillis = 1000;
    const bool forever = milliseconds == INFINITE;
    const int64_t due = platform::monotonicMillis() + milliseconds;
    for (;;) {
        platform::pump();
        MSG next;
        if (platform::take(&next, nullptr, 0, 0, false))
            return WAIT_OBJECT_0;
        const int64_t left = forever ? kSliceMillis : due - platform::monotonicMillis();
        if (left <= 0)
            return WAIT_TIMEOUT;
        platform::WindowSystem::backend().wait(static_cast<int>(std::min(left, kSliceMillis)));
    }
}

BOOL PeekMessageW(MSG* msg, HWND window, UINT lo, UINT hi, UINT remove)
{
    if (!msg)
        return FALSE;
    platform::pump();
    return platform::take(msg, window, lo, hi, (remove & PM_REMOVE) != 0) ? TRUE : FALSE;
}

BOOL TranslateMessage(const MSG*)
{
    // Keys reach the game as virtual keys only; no character messages are needed.
    return FALSE;
}

LRESULT DispatchMessageW(const MSG* msg)
{
    if (!msg || !msg->hwnd)
        return 0;
    return SendMessageW(msg->hwnd, msg->message, msg->wParam, msg->lParam);
}

LRESULT SendMessageW(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    platform::Window* w = platform::find(window);
    if (!w || !w->proc)
        return 0;
    return w->proc(window, message, wParam, lParam);
}

BOOL PostMessageW(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (window && !platform::find(window)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    platform::post(window, message, wParam, lParam);
    return TRUE;
}

void PostQuitMessage(int exitCode)
{
    state().quit = true;
    state().quitCode = exitCode;
}

HDC BeginPaint(HWND window, PAINTSTRUCT* paint)
{
    platform::Window* w = platform::find(window);
    if (!w || !paint)
        return nullptr;
    w->updatePending = false;
    std::memset(paint, 0, sizeof *paint);
    paint->hdc = GetDC(window);
    paint->rcPaint = RECT{0, 0, w->width, w->height};
    return paint->hdc;
}

BOOL EndPaint(HWND window, const PAINTSTRUCT* paint)
{
    if (!paint)
        return FALSE;
    ReleaseDC(window, paint->hdc);
    return TRUE;
}

HWND FindWindowW(LPCWSTR className, LPCWSTR title)
{
    for (auto& [h, w] : state().windows)
        if ((!className || w.className == className) && (!title || w.title == title))
            return h;
    if (!className || !title)
        return nullptr;
    return platform::InstanceRegistry::findForeign(className, title);
}

BOOL SetForegroundWindow(HWND window)
{
    HWND h = reinterpret_cast<HWND>(reinterpret_cast<uintptr_t>(window) & ~uintptr_t(3));
    if (platform::InstanceRegistry::isForeign(h))
        return platform::InstanceRegistry::raiseForeign(h) ? TRUE : FALSE;
    if (!platform::find(h))
        return FALSE;
    platform::WindowSystem::backend().raise(h);
    platform::activate(h, true);
    return TRUE;
}

HWND GetForegroundWindow()
{
    return state().foreground;
}

int MessageBoxW(HWND, LPCWSTR text, LPCWSTR caption, UINT type)
{
    std::string t = platform::utf8(text), c = platform::utf8(caption);
    std::fprintf(stderr, "%s: %s\n", c.c_str(), t.c_str());
    std::fflush(stderr);
    // A recorded box is never put on the desktop: unattended runs must not block on one.
    if (platform::DeviceProfile::current().messageBoxes == platform::MessageBoxMode::Recorded)
        state().recordedBoxes.push_back({c, t, (type & MB_ICONERROR) != 0});
    else
        platform::WindowSystem::backend().messageBox(c, t, (type & MB_ICONERROR) != 0);
    return IDOK;
}

HANDLE GetCurrentProcess()
{
    return reinterpret_cast<HANDLE>(static_cast<intptr_t>(-1));
}

BOOL TerminateProcess(HANDLE process, UINT exitCode)
{
    if (process != GetCurrentProcess()) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    std::fflush(nullptr);
    _exit(static_cast<int>(exitCode));
}

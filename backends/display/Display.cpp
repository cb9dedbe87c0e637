#include "display/Display.h"

#include "display/DisplayLog.h"
#include "display/RotationDriver.h"
#include "display/WindowDisplay.h"

#include <algorithm>
#include <cstring>

namespace ScreenHAL {

Display* Display::Create(HWND window, DisplayParams& params)
{
    DisplayLog::line("ScreenHAL (Version 0.7.7)");
    DisplayLog::line("Display::Create( hwnd = %08X, W:%d, H:%d, O:%d, S:%d )",
                     static_cast<unsigned>(reinterpret_cast<uintptr_t>(window)), params.width,
                     params.height, params.orientation, params.swapEffect);
    if (params.swapEffect == 0) {
        params.swapEffect = kSwapDiscard;
        DisplayLog::line("Swap effect forced to SWAP_DISCARD");
    }
    auto* display = new WindowDisplay(window);
    DisplayLog::line("Initializing display...");
    if (!display->Initialize(params)) {
        DisplayLog::line("Failed, destroying internal structures");
        delete display;
        return nullptr;
    }
    params = GetParams(display);
    DisplayLog::line("Success, returning display params to caller (W:%d, H:%d, O:%d, S:%d)",
                     params.width, params.height, params.orientation, params.swapEffect);
    return display;
}

void Display::Destroy(Display* display)
{
    delete display;
}

DisplayParams Display::GetParams(const Display* d)
{
    return DisplayParams{d->m_width, d->m_height, d->m_orientation, d->m_swapEffect};
}

Display::~Display() = default;

bool Display::Initialize(DisplayParams& params)
{
    if (m_driver)
        return false;
    std::unique_ptr<Driver> driver = CreateDriver(params);
    if (!driver)
        return false;
    if (params.orientation >= 0 && params.orientation <= 3 &&
        params.orientation != driver->orientation) {
        DetectionRecord inner = driver->record();
        auto rotation = std::make_unique<RotationDriver>(std::move(driver));
        if (!rotation->Initialize(m_window, params, inner))
            return false;
        driver = std::move(rotation);
    }
    m_width = driver->width;
    m_height = driver->height;
    m_orientation = driver->orientation;
    if (driver->swapKind == 0 || (params.swapEffect == kSwapCopy && driver->swapKind != 2)) {
        m_ramBuffer = makeRamSurface(m_width, m_height);
        if (!m_ramBuffer)
            return false;
        m_swapEffect = kSwapCopy;
    } else {
        m_swapEffect = driver->swapKind;
    }
    m_driver = std::move(driver);
    SetUpdateRect(Rect{0, 0, m_width, m_height});
    return true;
}

void Display::SetUpdateRect(const Rect& rect)
{
    // Only the part on the screen, never turned inside out: the drivers and the copy below move
    // exactly the rectangle they are given.
    const int32_t left = std::clamp(rect.left, 0, m_width);
    const int32_t top = std::clamp(rect.top, 0, m_height);
    const Rect onScreen{left, top, std::clamp(rect.right, left, m_width),
                        std::clamp(rect.bottom, top, m_height)};
    if (m_driver)
        m_driver->SetUpdateRect(onScreen);
    // Even coordinates, kept inside the screen.
    m_updateRect =
        Rect{onScreen.left & ~1, onScreen.top & ~1, std::min((onScreen.right + 1) & ~1, m_width),
             std::min((onScreen.bottom + 1) & ~1, m_height)};
}

void Display::Resume()
{
    m_active = true;
    m_locked = nullptr;
    if (m_driver)
        m_driver->Resume();
}

void Display::Suspend()
{
    if (m_driver)
        m_driver->Suspend();
    m_active = false;
    m_locked = nullptr;
}

void Display::Refresh()
{
    if (m_driver)
        m_driver->Refresh();
}

bool Display::BeginScene()
{
    if (!m_active || !m_driver)
        return false;
    if (m_locked)
        return true;
    m_locked = m_driver->Lock();
    return m_locked != nullptr;
}

Surface* Display::GetBackBuffer()
{
    if (!m_locked)
        return nullptr;
    return m_ramBuffer ? m_ramBuffer.get() : m_locked;
}

bool Display::EndScene(int flags)
{
    if (!m_locked || !m_active)
        return false;
    if (m_ramBuffer) {
        if (flags & kPresentWaitScan)
            m_driver->PrePresent();
        const Rect& r = m_updateRect;
        const size_t rowBytes = static_cast<size_t>(r.right - r.left) * 2;
        Surface& ram = *m_ramBuffer;
        Surface& to = *m_locked;
        if (r.left == 0 && to.pitch == static_cast<int32_t>(rowBytes) && ram.pitch == to.pitch) {
            std::memcpy(rowOf(to, r.top), rowOf(ram, r.top),
                        rowBytes * static_cast<size_t>(r.bottom - r.top));
        } else {
            for (int y = r.top; y < r.bottom; ++y)
                std::memcpy(pixelAt(to, r.left, y), pixelAt(ram, r.left, y), rowBytes);
        }
    }
    m_driver->Present(flags);
    m_locked = nullptr;
    return true;
}

} // namespace ScreenHAL

// The display: one driver (possibly wrapped for rotation), an optional RAM back buffer, and
// the frame cycle BeginScene / GetBackBuffer / EndScene. The base class does the frame cycle
// and driver handling; a concrete display picks the driver and handles its window.
#pragma once

#include "display/Driver.h"

#include <memory>

namespace ScreenHAL {

class Display
{
  public:
    virtual void Resume();
    virtual void Suspend();
    virtual void Refresh();
    virtual ~Display();
    virtual bool Initialize(DisplayParams& params);
    virtual std::unique_ptr<Driver> CreateDriver(const DisplayParams& params) = 0;

    // Null when no driver fits; on success the parameters hold what the display offers.
    static Display* Create(HWND window, DisplayParams& params);
    static void Destroy(Display* display);
    static DisplayParams GetParams(const Display* display);

    bool BeginScene();
    Surface* GetBackBuffer();
    bool EndScene(int flags);
    void SetUpdateRect(const Rect& rect);

    bool active() const { return m_active; }
    Driver* driver() { return m_driver.get(); }
    Surface* ramBuffer() { return m_ramBuffer.get(); }
    const Rect& updateRect() const { return m_updateRect; }

  protected:
    explicit Display(HWND window) : m_window(window) {}

    HWND m_window;
    int32_t m_width = 0;
    int32_t m_height = 0;
    int32_t m_orientation = 0;
    int32_t m_swapEffect = kSwapDiscard;
    std::unique_ptr<Driver> m_driver;
    SurfacePtr m_ramBuffer;
    Surface* m_locked = nullptr;
    Rect m_updateRect;
    bool m_active = true;
};

} // namespace ScreenHAL

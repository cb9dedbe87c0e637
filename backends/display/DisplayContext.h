// The drawing context tied to the display: a RenderContext whose target, between
// AcquireBackBuffer and Present, is the display's back buffer. The host makes one after its
// window and deletes it at shutdown, which destroys the display.
#pragma once

#include "display/Display.h"

#include "raster/ImageHolder.h"
#include "raster/RenderContext.h"

namespace ScreenHAL {

class DisplayContext : public RenderContext
{
  public:
    // Creates the display for the window. When that fails there is no display (hasDisplay()
    // false), the parameters stay the requested ones and every frame is skipped.
    DisplayContext(HWND window, const DisplayParams& requested);
    ~DisplayContext() override;
    DisplayContext(const DisplayContext&) = delete;
    DisplayContext& operator=(const DisplayContext&) = delete;

    // Begins the scene and binds the back buffer as the target (clip: all of it); null when the
    // display cannot lock a frame now (suspended, no display, a failing driver).
    ImageHolder* AcquireBackBuffer();
    // Ends the scene, which shows the frame, and forgets the back buffer again. False when
    // nothing was acquired or the display refused the present.
    bool Present(int flags);

    bool hasDisplay() const { return m_display != nullptr; }
    Display* display() const { return m_display; }

    DisplayParams params;
    ImageHolder backBuffer;

  private:
    Surface*& backBufferSlot();

    Display* m_display = nullptr;
};

} // namespace ScreenHAL

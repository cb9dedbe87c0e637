// The MIDlet's display: shows one displayable at a time and copies a canvas's off-screen image
// to the screen's back buffer and presents it on each flush.
#pragma once

#include "microedition/lcdui/DDisplayable.h"
#include "microedition/midlet/DMIDlet.h"

namespace ScreenHAL {
class DisplayContext;
} // namespace ScreenHAL

namespace qev::microedition::lcdui {

class DDisplay;
using DDisplayPtr = qev::lang::DPtr<DDisplay>;

class DDisplay : public qev::lang::DObject
{
  public:
    // Registers itself as the global MIDlet's display (NullPointerException without one) and
    // shows one first frame. The size is the display's, also while no frame can be had.
    explicit DDisplay(ScreenHAL::DisplayContext* context);
    ~DDisplay() override;

    // NullPointerException for a null MIDlet.
    static DDisplayPtr getDisplay(qev::lang::DPtr<qev::microedition::midlet::DMIDlet> midlet);
    // The one display of the run, or null.
    static DDisplay* global();

    DDisplayablePtr getCurrent() const { return m_current; }
    // Hides the current displayable and shows the new one (also when it is the same).
    void setCurrent(DDisplayablePtr displayable);
    // Copies the current canvas's image to the back buffer and presents it. False when nothing
    // was shown: no current canvas, or no frame to be had (suspended or no display).
    bool flushGraphics();

    int32_t getWidth() const { return m_width; }
    int32_t getHeight() const { return m_height; }
    ScreenHAL::DisplayContext* getContext() const { return m_context; }

  private:
    DDisplayablePtr m_current;
    ScreenHAL::DisplayContext* m_context;
    int32_t m_width = 0;
    int32_t m_height = 0;
};

} // namespace qev::microedition::lcdui

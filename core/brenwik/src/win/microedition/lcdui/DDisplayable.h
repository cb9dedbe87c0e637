// Something the display can show: the display tells it when it becomes and stops being the
// current one. Canvases are the only kind the system uses.
#pragma once

#include "lang/DObject.h"

namespace qev::microedition::lcdui {

class DDisplayable;
using DDisplayablePtr = qev::lang::DPtr<DDisplayable>;

class DDisplayable : public qev::lang::DObject
{
  public:
    virtual void sizeChanged(int32_t width, int32_t height);
    // Called by the display just before this becomes current (and by the host on resume), and
    // when another displayable replaces it.
    virtual void showNotify();
    virtual void hideNotify();

    bool isShown() const { return m_shown != 0; }
    void setShown(bool shown) { m_shown = shown ? 1 : 0; }
    int32_t getWidth() const { return m_width; }
    int32_t getHeight() const { return m_height; }

  protected:
    uint8_t m_shown = 0;
    int32_t m_height = 0;
    int32_t m_width = 0;
};

} // namespace qev::microedition::lcdui

// Saves a graphics clip and puts it back when it goes out of scope, also when drawing throws.
#pragma once

#include "microedition/lcdui/DGraphics.h"

namespace gamelib {

class ClipKeeper
{
  public:
    explicit ClipKeeper(qev::microedition::lcdui::DGraphics& g)
        : m_g(g), m_x(g.getClipX()), m_y(g.getClipY()), m_w(g.getClipWidth()),
          m_h(g.getClipHeight())
    {
    }
    ~ClipKeeper() { restore(); }
    ClipKeeper(const ClipKeeper&) = delete;
    ClipKeeper& operator=(const ClipKeeper&) = delete;

    void restore() { m_g.setClip(m_x, m_y, m_w, m_h); }

  private:
    qev::microedition::lcdui::DGraphics& m_g;
    int32_t m_x, m_y, m_w, m_h;
};

} // namespace gamelib

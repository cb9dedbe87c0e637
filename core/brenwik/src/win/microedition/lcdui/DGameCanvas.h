// The canvas games draw on: a graphics context over the off-screen image, and a flush that shows
// the image while the canvas is the display's current one.
#pragma once

#include "microedition/lcdui/DCanvas.h"

namespace qev::microedition::lcdui::game {

class DGameCanvas : public DCanvas
{
  public:
    // A new context drawing on the off-screen image (NullPointerException when the canvas could
    // get no image memory).
    qev::lang::DPtr<DGraphics> getGraphics();
    // Nothing happens unless the canvas is shown. False when no frame reached the screen.
    bool flushGraphics();
};

using DGameCanvasPtr = qev::lang::DPtr<DGameCanvas>;

} // namespace qev::microedition::lcdui::game

#include "microedition/lcdui/DGameCanvas.h"

#include "microedition/lcdui/DDisplay.h"
#include "microedition/lcdui/DGraphics.h"

#include "raster/ImageHolder.h"

namespace qev::microedition::lcdui::game {

qev::lang::DPtr<DGraphics> DGameCanvas::getGraphics()
{
    if (!getImage()->surface)
        qev::lang::throwNullPointerException("DGameCanvas", __FILE__, __LINE__);
    return qev::lang::DPtr<DGraphics>(new DGraphics(getImage()));
}

bool DGameCanvas::flushGraphics()
{
    if (!isShown() || !DDisplay::global())
        return false;
    return DDisplay::global()->flushGraphics();
}

} // namespace qev::microedition::lcdui::game

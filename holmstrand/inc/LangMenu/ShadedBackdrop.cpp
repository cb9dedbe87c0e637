#include "LangMenu/ShadedBackdrop.h"

#include "lang/DintArray.h"
#include "microedition/lcdui/DGraphics.h"

#include <algorithm>
#include <cstdlib>

namespace langmenu {

using qev::lang::DintArray;
using qev::lang::DintArrayPtr;
using qev::microedition::lcdui::DGraphics;
using qev::microedition::lcdui::DGraphicsPtr;
using qev::microedition::lcdui::DImage;
using qev::microedition::lcdui::DImagePtr;

DImagePtr drawShadedBackdrop(DImagePtr picture, int32_t level, int32_t from, int32_t to)
{
    const int32_t w = picture->getWidth();
    const int32_t h = picture->getHeight();
    DImagePtr copy = DImage::createImage(w, h);
    DGraphicsPtr g = copy->getGraphics();
    g->drawImageOpaque(picture, 0, 0, DGraphics::TOP | DGraphics::LEFT);
    from = std::max(from, 0);
    to = std::min(to, w - 1);
    const int32_t n = to - from + 1;
    if (n <= 0)
        return copy;
    const uint32_t alpha = static_cast<uint32_t>(std::min(std::abs(level), 255)) << 24;
    const int32_t argb = static_cast<int32_t>(alpha | (level > 0 ? 0xFFFFFFu : 0u));
    DintArrayPtr row = new DintArray(n);
    for (int32_t i = 0; i < n; ++i)
        row[i] = argb;
    for (int32_t y = 0; y < h; ++y)
        g->drawRGB(row, 0, n, from, y, n, 1, true);
    return copy;
}

} // namespace langmenu

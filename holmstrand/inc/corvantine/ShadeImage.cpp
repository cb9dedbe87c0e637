#include "corvantine/ShadeImage.h"

#include "lang/DintArray.h"
#include "microedition/lcdui/DGraphics.h"

namespace corvantine {

using qev::microedition::lcdui::DGraphics;
using qev::microedition::lcdui::DImage;
using qev::microedition::lcdui::DImagePtr;

DImagePtr createShadeImage(DImagePtr source, int32_t level, int32_t from, int32_t to)
{
    const int32_t width = source->getWidth();
    const int32_t height = source->getHeight();
    DImagePtr copy = DImage::createImage(width, height);
    qev::microedition::lcdui::DGraphicsPtr g = copy->getGraphics();
    g->drawImageOpaque(source, 0, 0, DGraphics::TOP | DGraphics::LEFT);
    const int32_t count = to - from + 1;
    if (count <= 0)
        return copy;
    const int32_t alpha = level < 0 ? -level : level;
    const int32_t argb = (alpha & 0xFF) << 24 | (level > 0 ? 0xFFFFFF : 0x000000);
    qev::lang::DintArrayPtr row = new qev::lang::DintArray(count);
    for (int32_t i = 0; i < count; ++i)
        (*row)[i] = argb;
    for (int32_t y = 0; y < height; ++y)
        g->drawRGB(row, 0, count, from, y, count, 1, true);
    return copy;
}

} // namespace corvantine

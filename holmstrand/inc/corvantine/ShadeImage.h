// Darkens (negative level) or lightens (positive level) a band of a picture: every row from
// column `from` to `to` is overlaid with black or white of alpha |level|. Returns a copy.
#pragma once

#include "microedition/lcdui/DImage.h"

namespace corvantine {

qev::microedition::lcdui::DImagePtr createShadeImage(qev::microedition::lcdui::DImagePtr source,
                                                     int32_t level, int32_t from, int32_t to);

} // namespace corvantine

// The darkened (or lightened) band behind the boxes of the start-up questions.
#pragma once

#include "microedition/lcdui/DImage.h"

#include <cstdint>

namespace langmenu {

// A copy of the picture with columns from..to (both included) of every row covered by black
// (level < 0) or white (level > 0) at alpha |level|. Columns outside the picture are cut off.
qev::microedition::lcdui::DImagePtr drawShadedBackdrop(qev::microedition::lcdui::DImagePtr picture,
                                                       int32_t level, int32_t from, int32_t to);

} // namespace langmenu

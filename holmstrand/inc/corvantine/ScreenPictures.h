// Pictures that fill the whole screen. A graphics set may be drawn for a screen a little
// smaller than the one it serves (176 x 220 uses the 176 x 208 set), so a picture of the set
// does not always cover the screen; what it leaves free must not show stale pixels.
#pragma once

#include "microedition/lcdui/DImage.h"

namespace corvantine {

// A new image of the screen's size, black all over.
qev::microedition::lcdui::DImagePtr blankScreenPicture();

// The picture itself when it covers the screen; otherwise a copy at least the screen's size,
// black around the picture, which stays centred.
qev::microedition::lcdui::DImagePtr coverScreen(qev::microedition::lcdui::DImagePtr picture);

} // namespace corvantine

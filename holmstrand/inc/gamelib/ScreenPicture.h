// Pictures that fill the whole screen. A graphics set may be drawn for a screen a little smaller
// than the one it serves (176 x 220 uses the 176 x 208 set), so a picture of the set does not
// always cover the screen; what it leaves free must be black, not the white of a new image or
// what the screen showed before.
#pragma once

#include "microedition/lcdui/DImage.h"

namespace gamelib {

// A new image of the screen's size, black all over.
qev::microedition::lcdui::DImagePtr blankScreenPicture();

// The picture itself when it covers the screen (or is null); otherwise a copy at least the
// screen's size, black around the picture, which stays centred.
qev::microedition::lcdui::DImagePtr coverScreen(const qev::microedition::lcdui::DImagePtr& picture);

} // namespace gamelib

// Pictures of the screen's size. A screen may use the graphics of a shorter one (176 x 220
// shows the 176 x 208 set), whose full-screen pictures then leave bands above and below:
// these are black rather than the white of a new image or what the screen showed before.
#pragma once

#include "microedition/lcdui/DImage.h"

namespace tessarine {

// A new picture of the screen's size, all black.
qev::microedition::lcdui::DImagePtr blankScreenPicture();
// The picture centred on a black picture of the screen's size; the picture itself when it
// already covers the screen.
qev::microedition::lcdui::DImagePtr fitToScreen(const qev::microedition::lcdui::DImagePtr& picture);

} // namespace tessarine

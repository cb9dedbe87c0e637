// The GDI description of a system font, shared by the font code and its tests.
#pragma once

#include "platform/gdi.h"

#include <cstdint>

namespace qev::microedition::lcdui {

// The LOGFONT for a face, style and size of DFont on a screen of `dpi` dots per inch vertically.
LOGFONTW describeFont(int32_t face, int32_t style, int32_t size, int32_t dpi);

} // namespace qev::microedition::lcdui

#include "microedition/lcdui/DDisplayable.h"

namespace qev::microedition::lcdui {

void DDisplayable::sizeChanged(int32_t, int32_t) {}

void DDisplayable::showNotify() {}

void DDisplayable::hideNotify() {}

} // namespace qev::microedition::lcdui

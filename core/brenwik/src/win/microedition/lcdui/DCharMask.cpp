#include "microedition/lcdui/DCharMask.h"

namespace qev::microedition::lcdui {

DCharMask::DCharMask(int32_t code, int32_t width, int32_t rows)
    : m_code(code), m_width(width > 0 ? width : 0), m_rows(rows > 0 ? rows : 0),
      m_mask(new uint8_t[static_cast<size_t>(m_width) * m_rows + 1]())
{
}

} // namespace qev::microedition::lcdui

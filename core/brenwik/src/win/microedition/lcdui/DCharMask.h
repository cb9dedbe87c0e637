// One rendered character: its advance width and a mask of rows x width bytes, 0xFF where the
// glyph has ink.
#pragma once

#include "lang/DObject.h"

#include <memory>

namespace qev::microedition::lcdui {

class DCharMask : public qev::lang::DObject
{
  public:
    DCharMask(int32_t code, int32_t width, int32_t rows);

    int32_t getCode() const { return m_code; }
    int32_t getWidth() const { return m_width; }
    int32_t getRows() const { return m_rows; }
    uint8_t* row(int32_t r) { return m_mask.get() + static_cast<size_t>(r) * m_width; }
    const uint8_t* row(int32_t r) const { return m_mask.get() + static_cast<size_t>(r) * m_width; }

  private:
    int32_t m_code;
    int32_t m_width;
    int32_t m_rows;
    std::unique_ptr<uint8_t[]> m_mask;
};

using DCharMaskPtr = qev::lang::DPtr<DCharMask>;

} // namespace qev::microedition::lcdui

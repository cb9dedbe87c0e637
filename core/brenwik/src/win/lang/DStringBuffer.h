// Growable UTF-16 text builder. Every unit past the length is 0, so the contents are always
// terminated; the buffer grows to max(2 * capacity, needed) and never shrinks.
#pragma once

#include "lang/DString.h"

namespace qev::lang {

class DStringBuffer;
using DStringBufferPtr = DPtr<DStringBuffer>;

class DStringBuffer : public DObject
{
  public:
    DStringBuffer();
    ~DStringBuffer() override;

    // Appends the string, or "null" for a null one; returns this buffer.
    DStringBufferPtr append(DStringPtr s);
    DStringBufferPtr append(char16_t c);
    void setLength(int32_t length);
    void setCharAt(int32_t index, char16_t c);
    DStringPtr toString() override;

    int32_t length() const { return m_length; }
    int32_t capacity() const { return m_capacity; }
    const char16_t* chars() const { return m_chars; }

  private:
    // Makes room for `length` units and the terminator.
    void ensureCapacity(int32_t length);
    void appendUnits(const char16_t* units, int32_t count);

    int32_t m_length = 0;
    int32_t m_capacity = 16;
    char16_t* m_chars;
};

} // namespace qev::lang

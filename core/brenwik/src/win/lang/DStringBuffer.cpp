#include "lang/DStringBuffer.h"

#include "lang/DExceptionBase.h"

#include <algorithm>
#include <cstring>

namespace qev::lang {

DStringBuffer::DStringBuffer() : m_chars(new char16_t[16]()) {}

DStringBuffer::~DStringBuffer()
{
    delete[] m_chars;
}

void DStringBuffer::ensureCapacity(int32_t length)
{
    int64_t needed = static_cast<int64_t>(length) + 1;
    if (needed > INT32_MAX)
        throwException(ExceptionCode::IndexOutOfBoundsException);
    if (m_capacity >= needed)
        return;
    int32_t capacity =
        static_cast<int32_t>(std::max<int64_t>(2 * static_cast<int64_t>(m_capacity), needed));
    capacity = std::min<int64_t>(capacity, INT32_MAX);
    auto* chars = new char16_t[static_cast<size_t>(capacity)]();
    std::memcpy(chars, m_chars, static_cast<size_t>(m_length) * sizeof(char16_t));
    delete[] m_chars;
    m_chars = chars;
    m_capacity = capacity;
}

void DStringBuffer::appendUnits(const char16_t* units, int32_t count)
{
    ensureCapacity(m_length + count);
    std::memcpy(m_chars + m_length, units, static_cast<size_t>(count) * sizeof(char16_t));
    m_length += count;
    m_chars[m_length] = 0;
}

DStringBufferPtr DStringBuffer::append(DStringPtr s)
{
    if (s)
        appendUnits(s->chars(), s->length());
    else
        appendUnits(u"null", 4);
    return DStringBufferPtr(this);
}

DStringBufferPtr DStringBuffer::append(char16_t c)
{
    appendUnits(&c, 1);
    return DStringBufferPtr(this);
}

// A negative length would clear units before the buffer: refused as an index error.
void DStringBuffer::setLength(int32_t length)
{
    if (length < 0)
        throwException(ExceptionCode::StringIndexOutOfBoundsException);
    ensureCapacity(length);
    if (length < m_length)
        std::fill(m_chars + length, m_chars + m_length, u'\0');
    m_length = length;
}

void DStringBuffer::setCharAt(int32_t index, char16_t c)
{
    if (index < 0 || index >= m_length)
        throwException(ExceptionCode::StringIndexOutOfBoundsException);
    m_chars[index] = c;
}

DStringPtr DStringBuffer::toString()
{
    return DStringPtr(new DString(m_chars, m_length));
}

} // namespace qev::lang

#include "io/DByteArrayInputStream.h"
#include "io/StreamPosition.h"

#include <cstring>

namespace qev::io {

using namespace qev::lang;

DByteArrayInputStream::DByteArrayInputStream(DbyteArrayPtr buf) : m_buf(buf), m_count(buf->length)
{
}

int32_t DByteArrayInputStream::available()
{
    return m_count - m_pos;
}

int32_t DByteArrayInputStream::read(DbyteArrayPtr b, int32_t off, int32_t len)
{
    checkArrayRange(b->length, off, len);
    int32_t n = len;
    if (static_cast<int64_t>(m_pos) + len > m_count)
        n = m_count - m_pos;
    if (n > 0) {
        // The target may be this stream's own array, with overlapping ranges.
        std::memmove(b->getData() + off, m_buf->getData() + m_pos, static_cast<size_t>(n));
        m_pos += n;
    }
    return n;
}

int32_t DByteArrayInputStream::read()
{
    if (m_pos >= m_count)
        return -1;
    return static_cast<uint8_t>((*m_buf)[m_pos++]);
}

void DByteArrayInputStream::close()
{
    m_buf = nullptr;
    m_count = 0;
    m_pos = 0;
}

void DByteArrayInputStream::reset()
{
    m_pos = 0;
}

int64_t DByteArrayInputStream::skip(int64_t n)
{
    return skipWithin(m_pos, m_count, n);
}

} // namespace qev::io

#include "io/D7zipInputStream.h"
#include "io/StreamPosition.h"

#include "io/D7zipArchive.h"

#include <cstdlib>
#include <cstring>

namespace qev::io {

using namespace qev::lang;

D7zipInputStream::~D7zipInputStream()
{
    std::free(m_data);
}

void D7zipInputStream::openArchive(DStringPtr name, DStringPtr)
{
    detail::D7zipArchive::instance().open(name);
}

void D7zipInputStream::closeArchive()
{
    detail::D7zipArchive::instance().close();
}

bool D7zipInputStream::isArchiveOpen()
{
    return detail::D7zipArchive::instance().isOpen();
}

bool D7zipInputStream::holds(DStringPtr name)
{
    return detail::D7zipArchive::instance().holds(name);
}

D7zipInputStreamPtr D7zipInputStream::open(DStringPtr name)
{
    if (!name)
        throwException(ExceptionCode::NullPointerException);
    D7zipInputStreamPtr stream(new D7zipInputStream());
    int64_t size = 0;
    stream->m_data = detail::D7zipArchive::instance().extract(name, size);
    stream->m_size = static_cast<int32_t>(size);
    return stream;
}

void D7zipInputStream::finalize()
{
    close();
}

int32_t D7zipInputStream::available()
{
    return m_size - m_pos;
}

int32_t D7zipInputStream::read(DbyteArrayPtr b, int32_t off, int32_t len)
{
    checkArrayRange(b->length, off, len);
    int32_t n = len;
    if (static_cast<int64_t>(m_pos) + len > m_size)
        n = m_size - m_pos;
    if (n > 0) {
        std::memcpy(b->getData() + off, m_data + m_pos, static_cast<size_t>(n));
        m_pos += n;
    }
    return n;
}

int32_t D7zipInputStream::read()
{
    if (m_pos >= m_size)
        return -1;
    return static_cast<uint8_t>(m_data[m_pos++]);
}

void D7zipInputStream::close()
{
    std::free(m_data);
    m_data = nullptr;
    m_size = 0;
    m_pos = 0;
}

void D7zipInputStream::reset()
{
    m_pos = 0;
}

int64_t D7zipInputStream::skip(int64_t n)
{
    return skipWithin(m_pos, m_size, n);
}

} // namespace qev::io

#include "io/DByteArrayOutputStream.h"

#include "io/DByteArrayInputStream.h"
#include "io/DDataInputStream.h"

#include <algorithm>
#include <cstring>

namespace qev::io {

using namespace qev::lang;

DByteArrayOutputStream::DByteArrayOutputStream() : m_buf(new DbyteArray(64)) {}

void DByteArrayOutputStream::grow(int32_t size)
{
    DbyteArrayPtr bigger(new DbyteArray(size));
    m_count = std::min(m_count, size);
    if (m_buf && m_count > 0)
        std::memcpy(bigger->getData(), m_buf->getData(), static_cast<size_t>(m_count));
    m_buf = bigger;
}

void DByteArrayOutputStream::write(int32_t b)
{
    if (m_count >= bufferLength())
        grow(bufferLength() + 64);
    (*m_buf)[m_count++] = static_cast<int8_t>(b);
}

void DByteArrayOutputStream::write(DbyteArrayPtr b, int32_t off, int32_t len)
{
    checkArrayRange(b->length, off, len);
    if (static_cast<int64_t>(bufferLength()) - m_count < len) {
        if (static_cast<int64_t>(m_count) + len + 64 > INT32_MAX)
            throwException(ExceptionCode::IndexOutOfBoundsException);
        grow(m_count + len + 64);
    }
    if (len > 0)
        std::memcpy(m_buf->getData() + m_count, b->getData() + off, static_cast<size_t>(len));
    m_count += len;
}

void DByteArrayOutputStream::close()
{
    m_buf = nullptr;
    m_count = 0;
}

DStringPtr DByteArrayOutputStream::toString()
{
    DInputStreamPtr bytes(new DByteArrayInputStream(m_buf));
    DPtr<DDataInputStream> data(new DDataInputStream(bytes));
    return data->readUTF();
}

void DByteArrayOutputStream::reset()
{
    m_count = 0;
}

DbyteArrayPtr DByteArrayOutputStream::toByteArray() const
{
    DbyteArrayPtr copy(new DbyteArray(m_count));
    if (m_count > 0)
        std::memcpy(copy->getData(), m_buf->getData(), static_cast<size_t>(m_count));
    return copy;
}

} // namespace qev::io

#include "io/DInputStream.h"

namespace qev::io {

using namespace qev::lang;

void checkArrayRange(int32_t length, int32_t off, int32_t len)
{
    if (off < 0 || len < 0 || static_cast<int64_t>(off) + len > length)
        throwException(ExceptionCode::IndexOutOfBoundsException);
}

int32_t DInputStream::available()
{
    return 0;
}

int32_t DInputStream::read(char* buf, int32_t len)
{
    if (!buf)
        throwException(ExceptionCode::NullPointerException);
    if (len < 0)
        throwException(ExceptionCode::IndexOutOfBoundsException);
    for (int32_t i = 0; i < len; ++i) {
        int32_t c = read();
        if (c < 0)
            return i == 0 ? -1 : i;
        buf[i] = static_cast<char>(c);
    }
    return len;
}

int32_t DInputStream::read(DbyteArrayPtr b)
{
    int32_t length = b->length;
    return read(std::move(b), 0, length);
}

void DInputStream::close() {}

void DInputStream::reset() {}

int64_t DInputStream::skip(int64_t)
{
    return 0;
}

} // namespace qev::io

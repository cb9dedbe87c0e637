#include "io/DDataInputStream.h"

#include "lang/DStringBuffer.h"

namespace qev::io {

using namespace qev::lang;

DDataInputStream::DDataInputStream(DInputStreamPtr in) : m_in(std::move(in)) {}

DInputStream& DDataInputStream::in()
{
    return *m_in;
}

int32_t DDataInputStream::available()
{
    return in().available();
}

int32_t DDataInputStream::read(DbyteArrayPtr b, int32_t off, int32_t len)
{
    return in().read(std::move(b), off, len);
}

int32_t DDataInputStream::read(DbyteArrayPtr b)
{
    return in().read(std::move(b));
}

int32_t DDataInputStream::read()
{
    return in().read();
}

int64_t DDataInputStream::skip(int64_t n)
{
    return in().skip(n);
}

int32_t DDataInputStream::readUnsignedShort()
{
    int32_t c1 = in().read();
    int32_t c2 = in().read();
    if ((c1 | c2) < 0)
        throwException(ExceptionCode::EOFException);
    return (c1 << 8) | c2;
}

int32_t DDataInputStream::readInt()
{
    int32_t c1 = in().read();
    int32_t c2 = in().read();
    int32_t c3 = in().read();
    int32_t c4 = in().read();
    if ((c1 | c2 | c3 | c4) < 0)
        throwException(ExceptionCode::EOFException);
    return static_cast<int32_t>((static_cast<uint32_t>(c1) << 24) | (c2 << 16) | (c3 << 8) | c4);
}

int32_t DDataInputStream::readByte()
{
    int32_t c = in().read();
    if (c < 0)
        throwException(ExceptionCode::EOFException);
    return static_cast<int8_t>(c);
}

void DDataInputStream::readFully(DbyteArrayPtr b)
{
    int32_t length = b->length;
    for (int32_t done = 0; done < length;) {
        int32_t n = in().read(b, done, length - done);
        if (n <= 0)
            throwException(ExceptionCode::EOFException);
        done += n;
    }
}

DStringPtr DDataInputStream::readUTF()
{
    int32_t utflen = readUnsignedShort();
    DbyteArrayPtr bytes(new DbyteArray(utflen));
    readFully(bytes);
    const auto* data = reinterpret_cast<const uint8_t*>(bytes->getData());
    DPtr<DStringBuffer> units(new DStringBuffer);
    units->setLength(utflen); // room for every unit at once
    units->setLength(0);
    auto continuation = [](int32_t c) { return (c & 0xC0) == 0x80; };
    for (int32_t count = 0; count < utflen;) {
        int32_t c = data[count];
        switch (c >> 4) {
        case 0:
        case 1:
        case 2:
        case 3:
        case 4:
        case 5:
        case 6:
        case 7:
            units->append(static_cast<char16_t>(c));
            count += 1;
            break;
        case 12:
        case 13: {
            count += 2;
            if (count > utflen)
                throwException(ExceptionCode::UTFDataFormatException);
            int32_t c2 = data[count - 1];
            if (!continuation(c2))
                throwException(ExceptionCode::UTFDataFormatException);
            units->append(static_cast<char16_t>(((c & 0x1F) << 6) | (c2 & 0x3F)));
            break;
        }
        case 14: {
            count += 3;
            if (count > utflen)
                throwException(ExceptionCode::UTFDataFormatException);
            int32_t c2 = data[count - 2];
            int32_t c3 = data[count - 1];
            if (!continuation(c2) || !continuation(c3))
                throwException(ExceptionCode::UTFDataFormatException);
            units->append(
                static_cast<char16_t>(((c & 0x0F) << 12) | ((c2 & 0x3F) << 6) | (c3 & 0x3F)));
            break;
        }
        default:
            throwException(ExceptionCode::UTFDataFormatException);
        }
    }
    return units->toString();
}

DStringPtr DDataInputStream::readUTF(DDataInputStreamPtr in)
{
    return in->readUTF();
}

} // namespace qev::io

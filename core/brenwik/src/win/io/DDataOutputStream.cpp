#include "io/DDataOutputStream.h"

namespace qev::io {

using namespace qev::lang;

DDataOutputStream::DDataOutputStream(DOutputStreamPtr out) : m_out(std::move(out)) {}

DOutputStream& DDataOutputStream::out()
{
    return *m_out;
}

void DDataOutputStream::write(DbyteArrayPtr b, int32_t off, int32_t len)
{
    out().write(std::move(b), off, len);
}

void DDataOutputStream::write(int32_t b)
{
    out().write(b);
}

void DDataOutputStream::flush()
{
    out().flush();
}

void DDataOutputStream::close()
{
    out().close();
}

void DDataOutputStream::writeInt(int32_t v)
{
    uint32_t u = static_cast<uint32_t>(v);
    out().write(static_cast<int32_t>(u >> 24));
    out().write(static_cast<int32_t>((u >> 16) & 0xFF));
    out().write(static_cast<int32_t>((u >> 8) & 0xFF));
    out().write(static_cast<int32_t>(u & 0xFF));
}

void DDataOutputStream::writeUTF(DStringPtr s)
{
    const char16_t* units = s->chars();
    int32_t length = s->length();
    int64_t utflen = 0;
    for (int32_t i = 0; i < length; ++i) {
        char16_t c = units[i];
        utflen += (c >= 0x0001 && c <= 0x007F) ? 1 : (c >= 0x0800 ? 3 : 2);
    }
    if (utflen > 65535)
        throwException(ExceptionCode::UTFDataFormatException);
    // Encoded in one piece so the target sees a single write.
    DbyteArrayPtr bytes(new DbyteArray(static_cast<int32_t>(utflen) + 2));
    auto* p = reinterpret_cast<uint8_t*>(bytes->getData());
    *p++ = static_cast<uint8_t>((utflen >> 8) & 0xFF);
    *p++ = static_cast<uint8_t>(utflen & 0xFF);
    for (int32_t i = 0; i < length; ++i) {
        char16_t c = units[i];
        if (c >= 0x0001 && c <= 0x007F) {
            *p++ = static_cast<uint8_t>(c);
        } else if (c >= 0x0800) {
            *p++ = static_cast<uint8_t>(0xE0 | (c >> 12));
            *p++ = static_cast<uint8_t>(0x80 | ((c >> 6) & 0x3F));
            *p++ = static_cast<uint8_t>(0x80 | (c & 0x3F));
        } else {
            *p++ = static_cast<uint8_t>(0xC0 | ((c >> 6) & 0x1F));
            *p++ = static_cast<uint8_t>(0x80 | (c & 0x3F));
        }
    }
    out().write(bytes, 0, bytes->length);
}

} // namespace qev::io

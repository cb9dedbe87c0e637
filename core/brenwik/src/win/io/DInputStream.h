// Byte source. Subclasses fill the operations they support; the shared defaults read through
// read().
#pragma once

#include "lang/DbyteArray.h"

namespace qev::io {

class DInputStream : public qev::lang::DObject
{
  public:
    // Bytes that can be read without blocking.
    virtual int32_t available();
    // Reads up to len bytes into raw memory by repeated read(); -1 when nothing could be read.
    virtual int32_t read(char* buf, int32_t len);
    virtual int32_t read(qev::lang::DbyteArrayPtr b, int32_t off, int32_t len) = 0;
    virtual int32_t read(qev::lang::DbyteArrayPtr b);
    // One byte as 0..255; -1 (or EOFException, for files) at the end.
    virtual int32_t read() = 0;
    virtual void close();
    virtual void reset();
    virtual int64_t skip(int64_t n);
};

using DInputStreamPtr = qev::lang::DPtr<DInputStream>;

// IndexOutOfBoundsException unless 0 <= off, 0 <= len and off + len <= length.
void checkArrayRange(int32_t length, int32_t off, int32_t len);

} // namespace qev::io

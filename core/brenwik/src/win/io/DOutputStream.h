// Byte sink.
#pragma once

#include "lang/DbyteArray.h"

namespace qev::io {

class DOutputStream : public qev::lang::DObject
{
  public:
    virtual void write(qev::lang::DbyteArrayPtr b, int32_t off, int32_t len) = 0;
    virtual void write(qev::lang::DbyteArrayPtr b);
    // Writes the low 8 bits.
    virtual void write(int32_t b) = 0;
    virtual void flush();
    virtual void close();
};

using DOutputStreamPtr = qev::lang::DPtr<DOutputStream>;

} // namespace qev::io

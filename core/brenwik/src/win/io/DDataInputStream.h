// Typed big-endian reads and modified-UTF-8 strings over another input stream.
#pragma once

#include "io/DInputStream.h"
#include "lang/DString.h"

namespace qev::io {

class DDataInputStream;
using DDataInputStreamPtr = qev::lang::DPtr<DDataInputStream>;

class DDataInputStream : public DInputStream
{
  public:
    explicit DDataInputStream(DInputStreamPtr in);

    using DInputStream::read;
    int32_t available() override;
    int32_t read(qev::lang::DbyteArrayPtr b, int32_t off, int32_t len) override;
    int32_t read(qev::lang::DbyteArrayPtr b) override;
    int32_t read() override;
    int64_t skip(int64_t n) override;

    // EOFException when the data ends early.
    int32_t readUnsignedShort();
    int32_t readInt();
    int32_t readByte();
    void readFully(qev::lang::DbyteArrayPtr b);
    // UTFDataFormatException for malformed text.
    qev::lang::DStringPtr readUTF();
    static qev::lang::DStringPtr readUTF(DDataInputStreamPtr in);

  private:
    DInputStream& in();

    DInputStreamPtr m_in;
};

} // namespace qev::io

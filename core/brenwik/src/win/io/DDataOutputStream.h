// Typed big-endian writes and modified-UTF-8 strings into another output stream.
#pragma once

#include "io/DOutputStream.h"
#include "lang/DString.h"

namespace qev::io {

class DDataOutputStream : public DOutputStream
{
  public:
    explicit DDataOutputStream(DOutputStreamPtr out);

    using DOutputStream::write;
    void write(qev::lang::DbyteArrayPtr b, int32_t off, int32_t len) override;
    void write(int32_t b) override;
    void flush() override;
    void close() override;

    void writeInt(int32_t v);
    // UTFDataFormatException, and nothing written, when the encoding exceeds 65535 bytes.
    void writeUTF(qev::lang::DStringPtr s);

  private:
    DOutputStream& out();

    DOutputStreamPtr m_out;
};

using DDataOutputStreamPtr = qev::lang::DPtr<DDataOutputStream>;

} // namespace qev::io

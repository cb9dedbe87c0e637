// Output into a growing byte array (64 bytes at first, grown by 64 beyond what is needed).
#pragma once

#include "io/DOutputStream.h"
#include "lang/DString.h"

namespace qev::io {

class DByteArrayOutputStream : public DOutputStream
{
  public:
    DByteArrayOutputStream();

    using DOutputStream::write;
    void write(qev::lang::DbyteArrayPtr b, int32_t off, int32_t len) override;
    void write(int32_t b) override;
    void close() override;
    // The buffer read back as one modified-UTF-8 record (what writeUTF wrote into it).
    qev::lang::DStringPtr toString() override;
    virtual void reset();

    qev::lang::DbyteArrayPtr toByteArray() const;
    int32_t size() const { return m_count; }
    int32_t bufferLength() const { return m_buf ? m_buf->length : 0; }

  private:
    void grow(int32_t size);

    qev::lang::DbyteArrayPtr m_buf;
    int32_t m_count = 0;
};

using DByteArrayOutputStreamPtr = qev::lang::DPtr<DByteArrayOutputStream>;

} // namespace qev::io

// Input over a byte array. At the end read() gives -1 and read(b, off, len) gives 0.
#pragma once

#include "io/DInputStream.h"

namespace qev::io {

class DByteArrayInputStream : public DInputStream
{
  public:
    explicit DByteArrayInputStream(qev::lang::DbyteArrayPtr buf);

    using DInputStream::read;
    int32_t available() override;
    int32_t read(qev::lang::DbyteArrayPtr b, int32_t off, int32_t len) override;
    int32_t read() override;
    void close() override;
    void reset() override;
    // Skips at most the bytes left; a negative n skips nothing.
    int64_t skip(int64_t n) override;

  private:
    qev::lang::DbyteArrayPtr m_buf;
    int32_t m_count;
    int32_t m_pos = 0;
};

} // namespace qev::io

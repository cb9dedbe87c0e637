// Console stream: forwards to its target when it has one and silently drops everything when not.
#pragma once

#include "io/DOutputStream.h"

namespace qev::io {

class DPrintStream : public DOutputStream
{
  public:
    explicit DPrintStream(DOutputStreamPtr out) : m_out(std::move(out)) {}

    void finalize() override;
    using DOutputStream::write;
    void write(qev::lang::DbyteArrayPtr b, int32_t off, int32_t len) override;
    void write(qev::lang::DbyteArrayPtr b) override;
    void write(int32_t b) override;
    void flush() override;
    void close() override;

  private:
    DOutputStreamPtr m_out;
};

using DPrintStreamPtr = qev::lang::DPtr<DPrintStream>;

} // namespace qev::io

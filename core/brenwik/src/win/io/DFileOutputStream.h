// Output to a file in the program's folder, created or truncated on open.
#pragma once

#include "io/DOutputStream.h"
#include "lang/DString.h"
#include "platform/wintypes.h"

namespace qev::io {

class DFileOutputStream;
using DFileOutputStreamPtr = qev::lang::DPtr<DFileOutputStream>;

class DFileOutputStream : public DOutputStream
{
  public:
    ~DFileOutputStream() override;

    // Opens "app.fullpath" + name (names start with "/"); IOException when it cannot.
    static DFileOutputStreamPtr open(qev::lang::DStringPtr name);

    void finalize() override;
    using DOutputStream::write;
    void write(qev::lang::DbyteArrayPtr b, int32_t off, int32_t len) override;
    void write(int32_t b) override;
    void flush() override;
    void close() override;

  private:
    explicit DFileOutputStream(HANDLE handle) : m_handle(handle) {}
    void writeBytes(const void* bytes, int32_t len);

    HANDLE m_handle;
};

} // namespace qev::io

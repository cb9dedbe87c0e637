// Input from a file in the program's folder. Finalizing or closing closes the handle once; a
// closed stream fails every further read with IOException.
#pragma once

#include "io/DInputStream.h"
#include "lang/DString.h"
#include "platform/wintypes.h"

namespace qev::io {

class DFileInputStream;
using DFileInputStreamPtr = qev::lang::DPtr<DFileInputStream>;

class DFileInputStream : public DInputStream
{
  public:
    ~DFileInputStream() override;

    // Opens "app.fullpath" + "\" + name ("/" taken as "\"); IOException when it cannot.
    static DFileInputStreamPtr open(qev::lang::DStringPtr name);

    void finalize() override;
    int32_t available() override;
    int32_t read(char* buf, int32_t len) override;
    int32_t read(qev::lang::DbyteArrayPtr b, int32_t off, int32_t len) override;
    using DInputStream::read;
    // EOFException at the end of the file.
    int32_t read() override;
    void close() override;
    void reset() override;
    int64_t skip(int64_t n) override;

  private:
    explicit DFileInputStream(HANDLE handle) : m_handle(handle) {}
    uint32_t seek(int32_t distance, uint32_t method);

    HANDLE m_handle;
};

// Platform path of a file in the program's folder: the folder, a separator unless the name
// starts with one, and the name with "/" turned into "\".
qev::lang::DStringPtr programFilePath(const qev::lang::DStringPtr& name, bool addSeparator);

} // namespace qev::io

#include "io/DFileOutputStream.h"

#include "io/DFileInputStream.h"
#include "platform/files.h"

namespace qev::io {

using namespace qev::lang;

DFileOutputStreamPtr DFileOutputStream::open(DStringPtr name)
{
    DStringPtr path = programFilePath(name, false);
    HANDLE h = CreateFileW(path->chars(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                           nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        throwException(ExceptionCode::IOException);
    return DFileOutputStreamPtr(new DFileOutputStream(h));
}

DFileOutputStream::~DFileOutputStream()
{
    close();
}

void DFileOutputStream::finalize()
{
    close();
}

void DFileOutputStream::writeBytes(const void* bytes, int32_t len)
{
    DWORD written = 0;
    if (!WriteFile(m_handle, bytes, static_cast<DWORD>(len), &written, nullptr) ||
        written != static_cast<DWORD>(len))
        throwException(ExceptionCode::IOException);
}

void DFileOutputStream::write(DbyteArrayPtr b, int32_t off, int32_t len)
{
    if (!b || off > b->length || len == 0)
        throwException(ExceptionCode::IOException);
    checkArrayRange(b->length, off, len);
    writeBytes(b->getData() + off, len);
}

void DFileOutputStream::write(int32_t b)
{
    uint8_t byte = static_cast<uint8_t>(b);
    writeBytes(&byte, 1);
}

void DFileOutputStream::flush()
{
    if (!FlushFileBuffers(m_handle))
        throwException(ExceptionCode::IOException);
}

void DFileOutputStream::close()
{
    if (m_handle) {
        CloseHandle(m_handle);
        m_handle = nullptr;
    }
}

} // namespace qev::io

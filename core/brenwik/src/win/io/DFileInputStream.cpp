#include "io/DFileInputStream.h"

#include "lang/DSystem.h"
#include "platform/files.h"

#include <cstdint>
#include <string>

namespace qev::io {

using namespace qev::lang;

DStringPtr programFilePath(const DStringPtr& name, bool addSeparator)
{
    if (!name)
        throwException(ExceptionCode::NullPointerException);
    DStringPtr path = DSystem::getProperty(u"app.fullpath");
    if (addSeparator && name->length() > 0 && name->charAt(0) != u'/' && name->charAt(0) != u'\\')
        path = path + u"\\";
    return path + name->replace(u'/', u'\\');
}

DFileInputStreamPtr DFileInputStream::open(DStringPtr name)
{
    DStringPtr path = programFilePath(name, true);
    HANDLE h = CreateFileW(path->chars(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                           OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        throwException(ExceptionCode::IOException,
                       u"cannot open " +
                           std::u16string(name->chars(), static_cast<size_t>(name->length())));
    return DFileInputStreamPtr(new DFileInputStream(h));
}

DFileInputStream::~DFileInputStream()
{
    close();
}

void DFileInputStream::finalize()
{
    close();
}

uint32_t DFileInputStream::seek(int32_t distance, uint32_t method)
{
    DWORD position = SetFilePointer(m_handle, distance, nullptr, method);
    if (position == INVALID_SET_FILE_POINTER)
        throwException(ExceptionCode::IOException);
    return position;
}

int32_t DFileInputStream::available()
{
    uint32_t current = seek(0, FILE_CURRENT);
    uint32_t end = seek(0, FILE_END);
    seek(static_cast<int32_t>(current), FILE_BEGIN);
    // A position skipped past the end has nothing left, not a negative count.
    return end > current ? static_cast<int32_t>(end - current) : 0;
}

int32_t DFileInputStream::read(char* buf, int32_t len)
{
    if (!buf)
        throwException(ExceptionCode::NullPointerException);
    if (len < 0)
        throwException(ExceptionCode::IndexOutOfBoundsException);
    DWORD got = 0;
    if (!ReadFile(m_handle, buf, static_cast<DWORD>(len), &got, nullptr))
        throwException(ExceptionCode::IOException);
    return static_cast<int32_t>(got);
}

int32_t DFileInputStream::read(DbyteArrayPtr b, int32_t off, int32_t len)
{
    if (!b || off > b->length || len == 0)
        throwException(ExceptionCode::IOException);
    checkArrayRange(b->length, off, len);
    DWORD got = 0;
    if (!ReadFile(m_handle, b->getData() + off, static_cast<DWORD>(len), &got, nullptr))
        throwException(ExceptionCode::IOException);
    return static_cast<int32_t>(got);
}

int32_t DFileInputStream::read()
{
    uint8_t byte = 0;
    DWORD got = 0;
    if (!ReadFile(m_handle, &byte, 1, &got, nullptr))
        throwException(ExceptionCode::IOException);
    if (got == 0)
        throwException(ExceptionCode::EOFException);
    return byte;
}

void DFileInputStream::close()
{
    if (m_handle) {
        CloseHandle(m_handle);
        m_handle = nullptr;
    }
}

void DFileInputStream::reset()
{
    seek(0, FILE_BEGIN);
}

int64_t DFileInputStream::skip(int64_t n)
{
    // A negative count skips nothing (moving backwards would re-read data). A count beyond what
    // a 32-bit position can reach goes as far as it can: its low 32 bits taken as the signed
    // distance would move backwards too, or not at all.
    if (n <= 0)
        return 0;
    uint32_t before = seek(0, FILE_CURRENT);
    const int64_t room = before < uint32_t(INT32_MAX) ? int64_t(INT32_MAX) - before : 0;
    if (n > room)
        n = room;
    uint32_t after = seek(static_cast<int32_t>(n), FILE_CURRENT);
    return static_cast<int64_t>(after) - before;
}

} // namespace qev::io

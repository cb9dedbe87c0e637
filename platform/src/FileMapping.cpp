#include "FileObject.h"
#include "platform/files.h"

#include <cerrno>
#include <map>
#include <memory>
#include <mutex>
#include <new>
#include <sys/stat.h>
#include <unistd.h>

using platform::FileObject;
using platform::HandleTable;
using platform::KernelObject;
using platform::KernelObjectType;

namespace {

// Views are private copies; the largest one must fit the 32-bit size callers keep.
constexpr uint64_t kMaxView = (uint64_t(1) << 31) - 1;

class MappingObject : public KernelObject
{
  public:
    MappingObject(std::shared_ptr<FileObject> mapped, uint64_t bytes)
        : KernelObject(KernelObjectType::FileMapping), file(std::move(mapped)), size(bytes)
    {
    }
    const std::shared_ptr<FileObject> file; // keeps the file open after its handle is closed
    const uint64_t size;
};

struct View
{
    std::unique_ptr<char[]> bytes;
    size_t size;
};

struct ViewTable
{
    std::mutex lock;
    std::map<const void*, View> views;
};

ViewTable& viewTable()
{
    static ViewTable* t = new ViewTable; // views may be unmapped from static destructors
    return *t;
}

} // namespace

HANDLE CreateFileMappingW(HANDLE file, SECURITY_ATTRIBUTES*, DWORD protect, DWORD sizeHigh,
                          DWORD sizeLow, LPCWSTR)
{
    auto f = HandleTable::get<FileObject>(file, KernelObjectType::File);
    if (!f)
        return nullptr;
    if (protect != PAGE_READONLY) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    if (!f->readable) {
        SetLastError(ERROR_ACCESS_DENIED);
        return nullptr;
    }
    struct stat st;
    if (::fstat(f->fd, &st) != 0) {
        SetLastError(ERROR_ACCESS_DENIED);
        return nullptr;
    }
    uint64_t fileSize = uint64_t(st.st_size);
    uint64_t wanted = (uint64_t(sizeHigh) << 32) | sizeLow;
    if (fileSize == 0 && wanted == 0) {
        SetLastError(ERROR_FILE_INVALID);
        return nullptr;
    }
    if (wanted > fileSize) {
        // A read-only mapping cannot grow the file.
        SetLastError(ERROR_ACCESS_DENIED);
        return nullptr;
    }
    uint64_t size = wanted ? wanted : fileSize;
    HANDLE h = HandleTable::add(std::make_shared<MappingObject>(f, size));
    SetLastError(ERROR_SUCCESS);
    return h;
}

LPVOID MapViewOfFile(HANDLE mapping, DWORD access, DWORD offsetHigh, DWORD offsetLow, DWORD bytes)
{
    auto m = HandleTable::get<MappingObject>(mapping, KernelObjectType::FileMapping);
    if (!m)
        return nullptr;
    if (access & ~DWORD(FILE_MAP_READ)) {
        SetLastError(ERROR_ACCESS_DENIED);
        return nullptr;
    }
    uint64_t offset = (uint64_t(offsetHigh) << 32) | offsetLow;
    if (offset >= m->size || bytes > m->size - offset) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    uint64_t length = bytes ? bytes : m->size - offset;
    if (length > kMaxView) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    std::unique_ptr<char[]> copy(new (std::nothrow) char[length]());
    if (!copy) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    // Bytes past a shrunken file stay zero, as pages past the end of a mapping would.
    uint64_t done = 0;
    while (done < length) {
        ssize_t n = ::pread(m->file->fd, copy.get() + done, length - done, off_t(offset + done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            SetLastError(ERROR_READ_FAULT);
            return nullptr;
        }
        if (n == 0)
            break;
        done += uint64_t(n);
    }
    void* address = copy.get();
    ViewTable& t = viewTable();
    std::lock_guard<std::mutex> guard(t.lock);
    t.views.emplace(address, View{std::move(copy), size_t(length)});
    return address;
}

BOOL UnmapViewOfFile(LPCVOID view)
{
    std::unique_ptr<char[]> doomed;
    ViewTable& t = viewTable();
    std::lock_guard<std::mutex> guard(t.lock);
    auto it = t.views.find(view);
    if (it == t.views.end()) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    doomed = std::move(it->second.bytes);
    t.views.erase(it);
    return TRUE;
}

namespace platform {

size_t openViewCount()
{
    ViewTable& t = viewTable();
    std::lock_guard<std::mutex> guard(t.lock);
    return t.views.size();
}

} // namespace platform

#include "platform/files.h"

#include "FileObject.h"
#include "platform/PathMapping.h"
#include "platform/testing/FileFaults.h"

#include <cerrno>
#include <climits>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using platform::FileCall;
using platform::FileFaults;
using platform::FileObject;
using platform::HandleTable;
using platform::KernelObjectType;

namespace {

constexpr int64_t kTwoGiB = int64_t(1) << 31;

bool parentExists(const std::string& path)
{
    size_t slash = path.find_last_of('/');
    if (slash == std::string::npos || slash == 0)
        return true;
    struct stat st;
    return ::stat(path.substr(0, slash).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

DWORD errorFromErrno(int err, const std::string& path)
{
    switch (err) {
    case ENOENT:
        return parentExists(path) ? ERROR_FILE_NOT_FOUND : ERROR_PATH_NOT_FOUND;
    case ENOTDIR:
        return ERROR_PATH_NOT_FOUND;
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR:
    case ETXTBSY:
        return ERROR_ACCESS_DENIED;
    case EEXIST:
        return ERROR_FILE_EXISTS;
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
        return ERROR_DISK_FULL;
    case ENAMETOOLONG:
        return ERROR_FILENAME_EXCED_RANGE;
    case EMFILE:
    case ENFILE:
        return ERROR_TOO_MANY_OPEN_FILES;
    case EBADF:
        return ERROR_INVALID_HANDLE;
    case ENOMEM:
        return ERROR_NOT_ENOUGH_MEMORY;
    case EINVAL:
    case ELOOP:
        return ERROR_INVALID_NAME;
    default:
        return ERROR_ACCESS_DENIED;
    }
}

int openRetrying(const std::string& path, int flags)
{
    int fd;
    do
        fd = ::open(path.c_str(), flags | O_CLOEXEC | O_NOCTTY, 0644);
    while (fd < 0 && errno == EINTR);
    return fd;
}

std::shared_ptr<FileObject> fileOf(HANDLE h)
{
    return HandleTable::get<FileObject>(h, KernelObjectType::File);
}

} // namespace

HANDLE CreateFileW(LPCWSTR name, DWORD access, DWORD, SECURITY_ATTRIBUTES*, DWORD disposition,
                   DWORD, HANDLE)
{
    std::string path;
    if (DWORD error = platform::PathMapping::toPosix(name, path)) {
        SetLastError(error);
        return INVALID_HANDLE_VALUE;
    }
    bool readable = access & GENERIC_READ;
    bool writable = access & GENERIC_WRITE;
    int flags = readable && writable ? O_RDWR : writable ? O_WRONLY : O_RDONLY;
    // The handheld has no symbolic links. One that stands where a file is written (put there by
    // anyone who can write the folder) would have its target truncated or filled: writing never
    // goes through one.
    if (writable)
        flags |= O_NOFOLLOW;
    bool existed = false;
    int fd = -1;
    switch (disposition) {
    case CREATE_NEW:
        fd = openRetrying(path, flags | O_CREAT | O_EXCL);
        break;
    case CREATE_ALWAYS:
    case OPEN_ALWAYS:
        // Try to create first, so that the "already existed" answer is exact.
        fd = openRetrying(path, flags | O_CREAT | O_EXCL);
        if (fd < 0 && errno == EEXIST) {
            existed = true;
            fd = openRetrying(path, flags | (disposition == CREATE_ALWAYS ? O_TRUNC : 0));
        }
        break;
    case OPEN_EXISTING:
        fd = openRetrying(path, flags);
        break;
    case TRUNCATE_EXISTING:
        if (!writable) {
            SetLastError(ERROR_INVALID_PARAMETER);
            return INVALID_HANDLE_VALUE;
        }
        fd = openRetrying(path, flags | O_TRUNC);
        break;
    default:
        SetLastError(ERROR_INVALID_PARAMETER);
        return INVALID_HANDLE_VALUE;
    }
    if (fd < 0) {
        SetLastError(errorFromErrno(errno, path));
        return INVALID_HANDLE_VALUE;
    }
    struct stat st;
    if (::fstat(fd, &st) != 0 || S_ISDIR(st.st_mode)) {
        ::close(fd);
        SetLastError(ERROR_ACCESS_DENIED);
        return INVALID_HANDLE_VALUE;
    }
    HANDLE h = HandleTable::add(std::make_shared<FileObject>(fd, readable, writable));
    SetLastError(existed ? ERROR_ALREADY_EXISTS : ERROR_SUCCESS);
    return h;
}

HANDLE CreateFileForMappingW(LPCWSTR name, DWORD access, DWORD share, SECURITY_ATTRIBUTES* security,
                             DWORD disposition, DWORD flags, HANDLE templateFile)
{
    return CreateFileW(name, access, share, security, disposition, flags, templateFile);
}

BOOL ReadFile(HANDLE file, LPVOID buffer, DWORD toRead, LPDWORD read, void*)
{
    if (read)
        *read = 0;
    auto f = fileOf(file);
    if (!f)
        return FALSE;
    if (!buffer && toRead > 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    if (!f->readable) {
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    if (FileFaults::shouldFail(FileCall::Read))
        return FALSE;
    auto* bytes = static_cast<char*>(buffer);
    DWORD done = 0;
    while (done < toRead) {
        ssize_t n = ::read(f->fd, bytes + done, toRead - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            SetLastError(errno == EIO ? ERROR_READ_FAULT : errorFromErrno(errno, ""));
            if (read)
                *read = done;
            return FALSE;
        }
        if (n == 0)
            break;
        done += static_cast<DWORD>(n);
    }
    if (read)
        *read = done;
    return TRUE;
}

BOOL WriteFile(HANDLE file, LPCVOID buffer, DWORD toWrite, LPDWORD written, void*)
{
    if (written)
        *written = 0;
    auto f = fileOf(file);
    if (!f)
        return FALSE;
    if (!buffer && toWrite > 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    if (!f->writable) {
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    if (FileFaults::shouldFail(FileCall::Write))
        return FALSE;
    auto* bytes = static_cast<const char*>(buffer);
    DWORD done = 0;
    while (done < toWrite) {
        ssize_t n = ::write(f->fd, bytes + done, toWrite - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            SetLastError(n == 0         ? ERROR_DISK_FULL
                         : errno == EIO ? ERROR_WRITE_FAULT
                                        : errorFromErrno(errno, ""));
            if (written)
                *written = done;
            return FALSE;
        }
        done += static_cast<DWORD>(n);
    }
    if (written)
        *written = done;
    return TRUE;
}

DWORD SetFilePointer(HANDLE file, LONG distance, LONG* distanceHigh, DWORD method)
{
    auto f = fileOf(file);
    if (!f)
        return INVALID_SET_FILE_POINTER;
    if (FileFaults::shouldFail(FileCall::Seek))
        return INVALID_SET_FILE_POINTER;
    int64_t base;
    if (method == FILE_BEGIN) {
        base = 0;
    } else if (method == FILE_CURRENT) {
        base = ::lseek(f->fd, 0, SEEK_CUR);
    } else if (method == FILE_END) {
        struct stat st;
        base = ::fstat(f->fd, &st) == 0 ? int64_t(st.st_size) : -1;
    } else {
        SetLastError(ERROR_INVALID_PARAMETER);
        return INVALID_SET_FILE_POINTER;
    }
    if (base < 0) {
        SetLastError(errorFromErrno(errno, ""));
        return INVALID_SET_FILE_POINTER;
    }
    int64_t move = distanceHigh
                       ? int64_t((uint64_t(uint32_t(*distanceHigh)) << 32) | uint32_t(distance))
                       : int64_t(distance);
    // No overflow: |base| and |move| are both below 2^63 / 2 in every reachable case.
    int64_t target = (move > 0 && base > INT64_MAX - move) ? -1 : base + move;
    if (target < 0 || (!distanceHigh && target >= kTwoGiB)) {
        SetLastError(ERROR_NEGATIVE_SEEK);
        return INVALID_SET_FILE_POINTER;
    }
    if (::lseek(f->fd, target, SEEK_SET) < 0) {
        SetLastError(errno == EINVAL ? ERROR_NEGATIVE_SEEK : errorFromErrno(errno, ""));
        return INVALID_SET_FILE_POINTER;
    }
    if (distanceHigh)
        *distanceHigh = LONG(uint32_t(uint64_t(target) >> 32));
    SetLastError(ERROR_SUCCESS);
    return DWORD(uint64_t(target) & 0xFFFFFFFFu);
}

BOOL FlushFileBuffers(HANDLE file)
{
    auto f = fileOf(file);
    if (!f)
        return FALSE;
    if (!f->writable) {
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    if (FileFaults::shouldFail(FileCall::Flush))
        return FALSE;
    int r;
    do
        r = ::fdatasync(f->fd);
    while (r != 0 && errno == EINTR);
    if (r != 0 && errno != EINVAL && errno != EROFS) { // not syncable: nothing to flush
        SetLastError(errno == EIO ? ERROR_WRITE_FAULT : errorFromErrno(errno, ""));
        return FALSE;
    }
    return TRUE;
}

DWORD GetFileSize(HANDLE file, LPDWORD sizeHigh)
{
    auto f = fileOf(file);
    if (!f)
        return INVALID_FILE_SIZE;
    struct stat st;
    if (::fstat(f->fd, &st) != 0) {
        SetLastError(errorFromErrno(errno, ""));
        return INVALID_FILE_SIZE;
    }
    uint64_t size = uint64_t(st.st_size);
    if (sizeHigh) {
        *sizeHigh = DWORD(size >> 32);
    } else if (size >= INVALID_FILE_SIZE) {
        // Not representable without the high part.
        SetLastError(ERROR_INVALID_PARAMETER);
        return INVALID_FILE_SIZE;
    }
    SetLastError(ERROR_SUCCESS);
    return DWORD(size & 0xFFFFFFFFu);
}

BOOL DeleteFileW(LPCWSTR name)
{
    std::string path;
    if (DWORD error = platform::PathMapping::toPosix(name, path)) {
        SetLastError(error);
        return FALSE;
    }
    if (::unlink(path.c_str()) != 0) {
        SetLastError(errorFromErrno(errno, path));
        return FALSE;
    }
    return TRUE;
}

// An open file behind a kernel handle: the POSIX descriptor, closed with the last reference.
#pragma once

#include "platform/HandleTable.h"

#include <string>
#include <unistd.h>

namespace platform {

class FileObject : public KernelObject
{
  public:
    FileObject(int descriptor, bool canRead, bool canWrite)
        : KernelObject(KernelObjectType::File), fd(descriptor), readable(canRead),
          writable(canWrite)
    {
    }
    ~FileObject() override { ::close(fd); }
    FileObject(const FileObject&) = delete;
    FileObject& operator=(const FileObject&) = delete;

    const int fd;
    const bool readable;
    const bool writable;
};

} // namespace platform

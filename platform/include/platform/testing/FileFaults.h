// Fault injection for the file calls: makes the n-th call of a kind fail, as a full disk or an
// I/O error would, so that every error path of the callers can be reached in tests.
#pragma once

#include "platform/wintypes.h"

namespace platform {

enum class FileCall { Read, Write, Seek, Flush };

class FileFaults
{
  public:
    // The n-th call (1-based, counted from now) of `call` fails with `error`; 0 disarms it.
    static void failNth(FileCall call, unsigned n, DWORD error = 29 /* ERROR_WRITE_FAULT */);
    // Disarms every kind and restarts the counts.
    static void clear();
    // Counts a call and answers whether it is the one to fail (the error is then set).
    static bool shouldFail(FileCall call);
};

} // namespace platform

// The program's own file and folder, as platform paths: worked out here once for every caller
// (the image loader, the system properties).
#pragma once

#include "platform/wintypes.h"

#include <cstddef>
#include <string>

namespace platform {

// The program's full file name; a name longer than the classic MAX_PATH units is read again into
// a larger buffer rather than cut. Empty when it is unknown or comes back cut short: a cut name
// would point into another folder.
std::u16string programFileName();
// The program's folder: its file name up to the last "\", without it ("" when unknown).
std::u16string programFolder();

} // namespace platform

// Writes the full path of `path` with its terminator into `out` and returns its length: a path
// starting with "\" as written, any other path in the program's folder. 0 when the path is null
// or empty, the program's name is unknown, or the result does not fit MAX_PATH units with the
// terminator; every copy into the buffer is bounded, so a path that does not fit never yields a
// cut-off name that could open another file.
size_t resolveAppPath(LPCWSTR path, WCHAR (&out)[MAX_PATH]);

// System services of the framework: properties, the millisecond clock and array copies.
#pragma once

#include "lang/DObjectArray.h"
#include "lang/DString.h"
#include "lang/DintArray.h"

namespace qev::lang {

class DSystem
{
  public:
    // Text properties ("file.separator", "app.fullpath", "archive.name", "archive.password",
    // "platform.string"); null for any other key. Keys are case-sensitive.
    static DStringPtr getProperty(DStringPtr key);
    // Integer properties of the device and the sound set-up; -1 for any other key.
    static int32_t getIntProperty(DStringPtr key);
    // Milliseconds from a monotonic 64-bit clock: differences of two readings are durations.
    static int64_t currentTimeMillis();

    // Copies length elements; the count is clipped to the room in dst, and a source shorter than
    // the count is copied as far as it goes. Copies within one array go through a temporary
    // copy, so overlapping ranges are safe.
    static void arraycopy(DObjectArrayPtr src, int32_t srcPos, DObjectArrayPtr dst, int32_t dstPos,
                          int32_t length);
    static void arraycopy(DintArrayPtr src, int32_t srcPos, DintArrayPtr dst, int32_t dstPos,
                          int32_t length);
};

} // namespace qev::lang

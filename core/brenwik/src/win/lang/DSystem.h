// System services of the framework.
#pragma once

#include "lang/DObjectArray.h"
#include "lang/DintArray.h"

namespace qev::lang {

class DSystem
{
  public:
    // Copies length elements; the count is clipped to the room in dst, and a source shorter than
    // the count is copied as far as it goes. Copies within one array go through a temporary
    // copy, so overlapping ranges are safe.
    static void arraycopy(DObjectArrayPtr src, int32_t srcPos, DObjectArrayPtr dst, int32_t dstPos,
                          int32_t length);
    static void arraycopy(DintArrayPtr src, int32_t srcPos, DintArrayPtr dst, int32_t dstPos,
                          int32_t length);
};

} // namespace qev::lang

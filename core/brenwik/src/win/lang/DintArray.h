#pragma once

#include "lang/DPrimitiveArray.h"

namespace qev::lang {

class DintArray : public DPrimitiveArray<int32_t>
{
  public:
    explicit DintArray(int32_t n) : DPrimitiveArray<int32_t>(n) {}
    // An array of n elements taken from the n int arguments after `ignored` (which is not read).
    DintArray(int32_t n, int32_t ignored, ...);
    const char* getClassName() override { return "DintArray"; }
};

using DintArrayPtr = DPtr<DintArray>;

} // namespace qev::lang

#pragma once

#include "lang/DPrimitiveArray.h"

namespace qev::lang {

class DcharArray : public DPrimitiveArray<char16_t>
{
  public:
    explicit DcharArray(int32_t n) : DPrimitiveArray<char16_t>(n) {}
    const char* getClassName() override { return "DcharArray"; }
};

using DcharArrayPtr = DPtr<DcharArray>;

} // namespace qev::lang

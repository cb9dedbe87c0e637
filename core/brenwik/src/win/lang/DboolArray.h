#pragma once

#include "lang/DPrimitiveArray.h"

namespace qev::lang {

class DboolArray : public DPrimitiveArray<bool>
{
  public:
    explicit DboolArray(int32_t n) : DPrimitiveArray<bool>(n) {}
    const char* getClassName() override { return "DboolArray"; }
};

using DboolArrayPtr = DPtr<DboolArray>;

} // namespace qev::lang

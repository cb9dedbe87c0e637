#pragma once

#include "lang/DPrimitiveArray.h"

namespace qev::lang {

class DbyteArray : public DPrimitiveArray<int8_t>
{
  public:
    explicit DbyteArray(int32_t n) : DPrimitiveArray<int8_t>(n) {}
    const char* getClassName() override { return "DbyteArray"; }
};

using DbyteArrayPtr = DPtr<DbyteArray>;

} // namespace qev::lang

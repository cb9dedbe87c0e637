// Two-dimensional arrays of objects, bytes and ints.
#pragma once

#include "lang/DArray2dOf.h"
#include "lang/DbyteArray.h"
#include "lang/DintArray.h"

namespace qev::lang {

class DObjectArray2d : public DArray2dOf<DObjectArray>
{
  public:
    using DArray2dOf::DArray2dOf;
};

class DbyteArray2d : public DArray2dOf<DbyteArray>
{
  public:
    using DArray2dOf::DArray2dOf;
    const char* getClassName() override { return "DbyteArray2d"; }
};

class DintArray2d : public DArray2dOf<DintArray>
{
  public:
    using DArray2dOf::DArray2dOf;
    const char* getClassName() override { return "DintArray2d"; }
};

using DObjectArray2dPtr = DPtr<DObjectArray2d>;
using DbyteArray2dPtr = DPtr<DbyteArray2d>;
using DintArray2dPtr = DPtr<DintArray2d>;

} // namespace qev::lang

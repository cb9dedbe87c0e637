#pragma once

#include "lang/DObjectArray.h"
#include "lang/DString.h"

namespace qev::lang {

class DStringArray : public DObjectArrayOf<DString>
{
  public:
    using DObjectArrayOf<DString>::DObjectArrayOf;
};

using DStringArrayPtr = DPtr<DStringArray>;

} // namespace qev::lang

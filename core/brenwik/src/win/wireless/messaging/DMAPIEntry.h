// One message store of a messaging session: its display name and entry ID.
#pragma once

#include "lang/DString.h"
#include "lang/DTypedArray.h"
#include "lang/DbyteArray.h"

namespace qev::wireless::messaging {

class DMAPIEntry : public qev::lang::DObject
{
  public:
    const char* getClassName() override { return "DMAPIEntry"; }

    qev::lang::DStringPtr name;
    qev::lang::DbyteArrayPtr entryId;
};

class DMAPIEntryArray : public qev::lang::DTypedArray<DMAPIEntry>
{
  public:
    using qev::lang::DTypedArray<DMAPIEntry>::DTypedArray;
    const char* getClassName() override { return "DMAPIEntryArray"; }
};

using DMAPIEntryPtr = qev::lang::DPtr<DMAPIEntry>;
using DMAPIEntryArrayPtr = qev::lang::DPtr<DMAPIEntryArray>;

} // namespace qev::wireless::messaging

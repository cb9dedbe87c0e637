// Enumeration of a collection's elements, exposed by collections as an interface part.
#pragma once

#include "lang/DInterface.h"

namespace qev::util {

class DEnumeration : public qev::lang::DInterface
{
  public:
    using DInterface::DInterface;
    virtual bool hasMoreElements() = 0;
    // The next element, or null when none remains.
    virtual qev::lang::DObjectPtr nextElement() = 0;
};

using DEnumerationPtr = qev::lang::DInterfacePtr<DEnumeration>;

} // namespace qev::util

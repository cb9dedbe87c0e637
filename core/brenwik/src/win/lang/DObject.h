// Root of every framework class: a virtual table and a reference count that is 0 after
// construction. Objects are handled through DPtr; counts are plain integers (main thread only).
#pragma once

#include "lang/DPtr.h"

#include <cstdint>

namespace qev::lang {

class DString;
class DStringPtr;

class DObject
{
  public:
    DObject() = default;
    DObject(const DObject&) = delete;
    DObject& operator=(const DObject&) = delete;

    // Virtual operations in their fixed order; subclasses append their own after these.
    virtual void finalize();
    virtual const char* getClassName();
    virtual ~DObject();
    virtual DStringPtr toString();
    virtual int32_t hashCode();
    virtual bool equals(DObjectPtr other);
    virtual DObjectPtr getNullRef();

    int32_t getRefCount() const { return m_refCount; }

  private:
    friend void detail::retain(DObject*);
    friend void detail::release(DObject*);

    int32_t m_refCount = 0;
};

} // namespace qev::lang

// Array of object smart pointers, all null at construction. Assigning an element retains the new
// object and releases the one it replaces; destroying the array releases every element.
#pragma once

#include "lang/DObject.h"

namespace qev::lang {

class DObjectArray : public DObject
{
  public:
    explicit DObjectArray(int32_t n);
    ~DObjectArray() override;

    DObjectPtr& operator[](int32_t index);
    const DObjectPtr& operator[](int32_t index) const;

    const int32_t length;

  protected:
    void checkIndex(int32_t index) const;

  private:
    DObjectPtr* m_data;
};

using DObjectArrayPtr = DPtr<DObjectArray>;

// Typed view of one element: reads give the element's own pointer type, writes follow the
// smart-pointer assignment.
template <class T> class DElementRef
{
  public:
    using Ptr = typename DPtrFor<T>::type;

    explicit DElementRef(DObjectPtr& slot) : m_slot(slot) {}
    DElementRef(const DElementRef&) = default;

    DElementRef& operator=(const DPtr<T>& value)
    {
        m_slot = value.get();
        return *this;
    }
    DElementRef& operator=(T* value)
    {
        m_slot = value;
        return *this;
    }
    DElementRef& operator=(std::nullptr_t)
    {
        m_slot = nullptr;
        return *this;
    }
    DElementRef& operator=(const DElementRef& other)
    {
        m_slot = other.m_slot.get();
        return *this;
    }

    operator Ptr() const { return Ptr(get()); }
    T* get() const { return static_cast<T*>(m_slot.get()); }
    T* operator->() const
    {
        if (!m_slot)
            throwNullPointerException(typeid(T).name(), __FILE__, __LINE__);
        return get();
    }
    T& operator*() const { return *operator->(); }
    bool isNull() const { return m_slot.isNull(); }
    explicit operator bool() const { return !m_slot.isNull(); }
    bool operator==(std::nullptr_t) const { return m_slot.isNull(); }
    template <class I> decltype(auto) operator[](I index) const { return (*operator->())[index]; }

  private:
    DObjectPtr& m_slot;
};

// Object array whose elements are all of class T (or null).
template <class T> class DObjectArrayOf : public DObjectArray
{
  public:
    using DObjectArray::DObjectArray;

    DElementRef<T> operator[](int32_t index)
    {
        return DElementRef<T>(DObjectArray::operator[](index));
    }
};

} // namespace qev::lang

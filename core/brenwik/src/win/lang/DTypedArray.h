// Object arrays of the game classes. Their class name is derived from the elements':
// "<element class>Array", or "<row class>2d" for arrays of rows.
#pragma once

#include "lang/DArray2dOf.h"

namespace qev::lang {

namespace detail {
// Both write into static buffers that the next call of the same kind overwrites.
const char* typedArrayClassName(DObjectArray& array);
const char* typedArray2dClassName(DObjectArray& array);
} // namespace detail

template <class T> class DTypedArray : public DObjectArrayOf<T>
{
  public:
    using DObjectArrayOf<T>::DObjectArrayOf;
    const char* getClassName() override { return detail::typedArrayClassName(*this); }
};

template <class T> class DTypedArray2d : public DArray2dOf<DTypedArray<T>>
{
  public:
    using DArray2dOf<DTypedArray<T>>::DArray2dOf;
    const char* getClassName() override { return detail::typedArray2dClassName(*this); }
};

} // namespace qev::lang

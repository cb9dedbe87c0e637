// Bounds-checked array of a primitive element type. The length is the one given at construction,
// also when it is negative; such an array has no storage and every index is out of bounds.
#pragma once

#include "lang/DExceptionBase.h"
#include "lang/DObject.h"

#include <cstdint>

namespace qev::lang {

template <class E> class DPrimitiveArray : public DObject
{
  public:
    using element_type = E;

    explicit DPrimitiveArray(int32_t n)
        : length(n), data(n > 0 ? new E[static_cast<size_t>(n)]() : nullptr)
    {
    }
    ~DPrimitiveArray() override { delete[] data; }

    E& operator[](int32_t index)
    {
        checkIndex(index);
        return data[index];
    }
    const E& operator[](int32_t index) const
    {
        checkIndex(index);
        return data[index];
    }

    // Raw storage for bulk copies; null when the length is 0 or less.
    E* getData() { return data; }
    const E* getData() const { return data; }

    const int32_t length;

  private:
    void checkIndex(int32_t index) const
    {
        if (index < 0 || index >= length)
            throwException(ExceptionCode::ArrayIndexOutOfBoundsException);
    }

    E* data;
};

} // namespace qev::lang

#include "lang/DObjectArray.h"

#include "lang/DExceptionBase.h"

namespace qev::lang {

DObjectArray::DObjectArray(int32_t n)
    : length(n), m_data(n > 0 ? new DObjectPtr[static_cast<size_t>(n)] : nullptr)
{
}

// Elements are released one by one, so an element's destructor may still read the array.
DObjectArray::~DObjectArray()
{
    for (int32_t i = 0; i < length; ++i)
        m_data[i].release();
    delete[] m_data;
}

void DObjectArray::checkIndex(int32_t index) const
{
    if (index < 0 || index >= length)
        throwException(ExceptionCode::ArrayIndexOutOfBoundsException);
}

DObjectPtr& DObjectArray::operator[](int32_t index)
{
    checkIndex(index);
    return m_data[index];
}

const DObjectPtr& DObjectArray::operator[](int32_t index) const
{
    checkIndex(index);
    return m_data[index];
}

} // namespace qev::lang

#include "util/DVector.h"

#include "lang/DExceptionBase.h"

#include <algorithm>
#include <utility>

namespace qev::util {

using qev::lang::DObjectPtr;

DVector::DVector() : m_items(new DObjectPtr[16]) {}

DVector::~DVector()
{
    for (int32_t i = 0; i < m_capacity; ++i)
        m_items[i].release();
    delete[] m_items;
}

void DVector::checkIndex(int32_t index) const
{
    if (index < 0 || index >= m_size)
        qev::lang::throwException(qev::lang::ExceptionCode::ArrayIndexOutOfBoundsException);
}

void DVector::ensureCapacity(int32_t n)
{
    if (m_capacity >= n)
        return;
    int32_t capacity = std::max(2 * m_capacity, n);
    auto* items = new DObjectPtr[static_cast<size_t>(capacity)];
    for (int32_t i = 0; i < m_size; ++i)
        items[i] = std::move(m_items[i]);
    delete[] m_items;
    m_items = items;
    m_capacity = capacity;
}

void DVector::addElement(DObjectPtr obj)
{
    ensureCapacity(m_size + 1);
    m_items[m_size++] = std::move(obj);
}

DObjectPtr DVector::elementAt(int32_t index)
{
    checkIndex(index);
    return m_items[index];
}

void DVector::removeElementAt(int32_t index)
{
    checkIndex(index);
    for (int32_t i = index; i + 1 < m_size; ++i)
        m_items[i] = std::move(m_items[i + 1]);
    m_items[--m_size].release();
}

void DVector::copyInto(qev::lang::DObjectArrayPtr a)
{
    int32_t n = std::min(m_size, a->length);
    for (int32_t i = 0; i < n; ++i)
        (*a)[i] = m_items[i];
}

} // namespace qev::util

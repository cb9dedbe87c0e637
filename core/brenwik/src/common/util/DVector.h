// Growable array of object references (null allowed). Starts with room for 16 and doubles.
#pragma once

#include "lang/DObjectArray.h"

namespace qev::util {

class DVector : public qev::lang::DObject
{
  public:
    DVector();
    ~DVector() override;

    void addElement(qev::lang::DObjectPtr obj);
    int32_t size() const { return m_size; }
    int32_t capacity() const { return m_capacity; }
    // ArrayIndexOutOfBoundsException outside 0..size-1.
    qev::lang::DObjectPtr elementAt(int32_t index);
    void removeElementAt(int32_t index);
    // Copies the first min(size, length of a) elements.
    void copyInto(qev::lang::DObjectArrayPtr a);
    void ensureCapacity(int32_t n);

  private:
    void checkIndex(int32_t index) const;

    int32_t m_capacity = 16;
    int32_t m_size = 0;
    qev::lang::DObjectPtr* m_items;
};

using DVectorPtr = qev::lang::DPtr<DVector>;

} // namespace qev::util

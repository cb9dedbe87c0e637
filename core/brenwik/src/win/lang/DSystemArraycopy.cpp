#include "lang/DSystem.h"

#include "lang/DExceptionBase.h"

#include <algorithm>

namespace qev::lang {

namespace {

template <class ArrayPtr, class Temp>
void copyRange(const ArrayPtr& src, int32_t srcPos, const ArrayPtr& dst, int32_t dstPos,
               int32_t length)
{
    if (!src || !dst)
        throwException(ExceptionCode::NullPointerException);
    if (srcPos < 0 || dstPos < 0 || length < 0 || srcPos > src->length || dstPos > dst->length)
        throwException(ExceptionCode::IndexOutOfBoundsException);
    int32_t n = std::min(dst->length - dstPos, length);
    if (src == dst) {
        // Reads are bounds-checked: a range past the end raises before anything is written.
        Temp temp(n);
        for (int32_t i = 0; i < n; ++i)
            temp[i] = (*src)[srcPos + i];
        for (int32_t i = 0; i < n; ++i)
            (*dst)[dstPos + i] = temp[i];
        return;
    }
    for (int32_t i = 0; i < n && srcPos + i < src->length; ++i)
        (*dst)[dstPos + i] = (*src)[srcPos + i];
}

} // namespace

void DSystem::arraycopy(DObjectArrayPtr src, int32_t srcPos, DObjectArrayPtr dst, int32_t dstPos,
                        int32_t length)
{
    copyRange<DObjectArrayPtr, DObjectArray>(src, srcPos, dst, dstPos, length);
}

void DSystem::arraycopy(DintArrayPtr src, int32_t srcPos, DintArrayPtr dst, int32_t dstPos,
                        int32_t length)
{
    copyRange<DintArrayPtr, DintArray>(src, srcPos, dst, dstPos, length);
}

} // namespace qev::lang

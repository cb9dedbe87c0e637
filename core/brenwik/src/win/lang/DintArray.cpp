#include "lang/DintArray.h"

#include <cstdarg>

namespace qev::lang {

DintArray::DintArray(int32_t n, int32_t ignored, ...) : DPrimitiveArray<int32_t>(n)
{
    va_list args;
    va_start(args, ignored);
    for (int32_t i = 0; i < n; ++i)
        getData()[i] = va_arg(args, int32_t);
    va_end(args);
}

} // namespace qev::lang

#include "lang/DTypedArray.h"

#include <cstdio>

namespace qev::lang::detail {

namespace {
char g_arrayName[128];
char g_array2dName[128];
} // namespace

const char* typedArrayClassName(DObjectArray& array)
{
    if (array.length < 1)
        return "DObjectArray";
    std::snprintf(g_arrayName, sizeof g_arrayName, "%sArray", array[0]->getClassName());
    return g_arrayName;
}

const char* typedArray2dClassName(DObjectArray& array)
{
    if (array.length < 1 || !array[0])
        return "DObjectArray2d";
    std::snprintf(g_array2dName, sizeof g_array2dName, "%s2d", array[0]->getClassName());
    return g_array2dName;
}

} // namespace qev::lang::detail

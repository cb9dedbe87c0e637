#include "lang/DInteger.h"

#include "lang/DExceptionBase.h"
#include "lang/NumberText.h"

namespace qev::lang {

const char* DInteger::getClassName()
{
    return "DInteger";
}

DStringPtr DInteger::toString()
{
    return toString(m_value);
}

int32_t DInteger::hashCode()
{
    return m_value;
}

bool DInteger::equals(DObjectPtr other)
{
    if (!other)
        throwNullPointerException("DObject", __FILE__, __LINE__);
    auto* integer = dynamic_cast<DInteger*>(other.get());
    // Objects of other classes are never equal (they have no value to compare).
    return integer && integer->m_value == m_value;
}

DStringPtr DInteger::toString(int32_t value)
{
    char16_t text[NumberText::kBufferUnits];
    NumberText::formatDecimal(value, text);
    return DStringPtr(text);
}

DStringPtr DInteger::toString(int32_t value, int32_t radix)
{
    if (radix == 10)
        return toString(value);
    if (radix != 16)
        return DStringPtr(u"");
    char16_t text[NumberText::kBufferUnits];
    NumberText::formatHex(value, text);
    return DStringPtr(text);
}

DStringPtr DInteger::toHexString(int32_t value)
{
    return toString(value, 16);
}

int32_t DInteger::parseInt(DStringPtr s)
{
    return parseInt(s, 10);
}

int32_t DInteger::parseInt(DStringPtr s, int32_t radix)
{
    int32_t value = 0;
    if (!NumberText::parse(s->chars(), radix, value))
        throwException(ExceptionCode::NumberFormatException);
    return value;
}

DIntegerPtr DInteger::valueOf(DStringPtr s)
{
    return DIntegerPtr(new DInteger(s ? parseInt(s) : 0));
}

} // namespace qev::lang

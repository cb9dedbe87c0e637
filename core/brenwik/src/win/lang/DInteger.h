// The boxed 32-bit integer with decimal and hexadecimal conversions.
#pragma once

#include "lang/DString.h"

namespace qev::lang {

class DInteger;
using DIntegerPtr = DPtr<DInteger>;

class DInteger : public DObject
{
  public:
    explicit DInteger(int32_t value) : m_value(value) {}

    const char* getClassName() override;
    DStringPtr toString() override;
    int32_t hashCode() override;
    // Compares with the other object's value; the argument is taken to be a DInteger.
    bool equals(DObjectPtr other) override;

    int32_t intValue() const { return m_value; }

    static DStringPtr toString(int32_t value);
    // Radix 10 or 16; any other radix gives the empty string.
    static DStringPtr toString(int32_t value, int32_t radix);
    static DStringPtr toHexString(int32_t value);
    // Throws NumberFormatException when no number can be read.
    static int32_t parseInt(DStringPtr s);
    static int32_t parseInt(DStringPtr s, int32_t radix);
    // A null string gives 0.
    static DIntegerPtr valueOf(DStringPtr s);

  private:
    int32_t m_value;
};

} // namespace qev::lang

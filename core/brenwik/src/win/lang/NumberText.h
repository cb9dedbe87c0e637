// Integer <-> text conversions shared by DInteger and the exception table.
#pragma once

#include <cstdint>

namespace qev::lang::NumberText {

// Units needed for any 32-bit value, with sign and terminator.
constexpr int kBufferUnits = 12;

// Decimal text with sign ("%d"). Returns the number of units written before the terminator.
int formatDecimal(int32_t value, char16_t* out);
// Lower-case hexadecimal without leading zeros; negative values give "-" and the magnitude.
int formatHex(int32_t value, char16_t* out);

// The C library's "%d" (radix 10) or "%x" (radix 16) conversion: leading white space, an
// optional sign, for radix 16 an optional "0x", then digits; text after the digits is ignored.
// False when no digit can be read or the value does not fit 32 bits (for radix 16, values up to
// 0xFFFFFFFF are accepted and wrap to negative, as "%x" stores them).
bool parse(const char16_t* text, int radix, int32_t& value);

} // namespace qev::lang::NumberText

#include "lang/NumberText.h"

namespace qev::lang::NumberText {

namespace {

int formatMagnitude(int32_t value, uint32_t radix, char16_t* out)
{
    uint32_t magnitude =
        value < 0 ? 0u - static_cast<uint32_t>(value) : static_cast<uint32_t>(value);
    char16_t digits[11];
    int n = 0;
    do {
        digits[n++] = u"0123456789abcdef"[magnitude % radix];
        magnitude /= radix;
    } while (magnitude != 0);
    int written = 0;
    if (value < 0)
        out[written++] = u'-';
    while (n > 0)
        out[written++] = digits[--n];
    out[written] = 0;
    return written;
}

bool isSpace(char16_t c)
{
    return c == u' ' || (c >= 0x09 && c <= 0x0D);
}

int digitValue(char16_t c, int radix)
{
    int d = -1;
    if (c >= u'0' && c <= u'9')
        d = c - u'0';
    else if (c >= u'a' && c <= u'f')
        d = c - u'a' + 10;
    else if (c >= u'A' && c <= u'F')
        d = c - u'A' + 10;
    return d < radix ? d : -1;
}

} // namespace

int formatDecimal(int32_t value, char16_t* out)
{
    return formatMagnitude(value, 10, out);
}

int formatHex(int32_t value, char16_t* out)
{
    return formatMagnitude(value, 16, out);
}

bool parse(const char16_t* text, int radix, int32_t& value)
{
    if (!text || (radix != 10 && radix != 16))
        return false;
    const char16_t* p = text;
    while (isSpace(*p))
        ++p;
    bool negative = false;
    if (*p == u'+' || *p == u'-')
        negative = *p++ == u'-';
    if (radix == 16 && p[0] == u'0' && (p[1] == u'x' || p[1] == u'X') && digitValue(p[2], 16) >= 0)
        p += 2;
    // Decimal allows magnitudes up to 2^31 (for the minimum); hexadecimal up to 2^32 - 1.
    const uint64_t limit = radix == 10 ? (negative ? 0x80000000ull : 0x7FFFFFFFull) : 0xFFFFFFFFull;
    uint64_t magnitude = 0;
    bool any = false;
    for (int d; (d = digitValue(*p, radix)) >= 0; ++p) {
        magnitude = magnitude * static_cast<unsigned>(radix) + static_cast<unsigned>(d);
        if (magnitude > limit)
            return false;
        any = true;
    }
    if (!any)
        return false;
    uint32_t bits = static_cast<uint32_t>(magnitude);
    value = static_cast<int32_t>(negative ? 0u - bits : bits);
    return true;
}

} // namespace qev::lang::NumberText

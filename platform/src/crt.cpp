#include "platform/crt.h"

#include "platform/text.h"

#include <climits>
#include <clocale>
#include <cstdio>
#include <cwctype>
#include <locale.h>
#include <vector>

namespace {

bool isBlank16(char16_t c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

bool isDelimiter(char16_t c, LPCWSTR delimiters)
{
    for (LPCWSTR d = delimiters; *d; ++d)
        if (*d == c)
            return true;
    return false;
}

// A UTF-8 character-type locale for the case tables; without one only ASCII is mapped.
locale_t caseLocale()
{
    static locale_t loc = [] {
        locale_t l = newlocale(LC_CTYPE_MASK, "C.UTF-8", locale_t(0));
        if (!l)
            l = newlocale(LC_CTYPE_MASK, "en_US.UTF-8", locale_t(0));
        return l;
    }();
    return loc;
}

// Maps one unit; surrogates and results outside the BMP stay as they are.
char16_t mapCase(char16_t c, bool upper)
{
    if (c < 0x80) {
        if (upper && c >= 'a' && c <= 'z')
            return c - 32;
        if (!upper && c >= 'A' && c <= 'Z')
            return c + 32;
        return c;
    }
    if (c >= 0xD800 && c <= 0xDFFF)
        return c;
    locale_t loc = caseLocale();
    if (!loc)
        return c;
    wint_t r = upper ? towupper_l(c, loc) : towlower_l(c, loc);
    return r > 0xFFFF || (r >= 0xD800 && r <= 0xDFFF) ? c : static_cast<char16_t>(r);
}

} // namespace

LONG _wtol(LPCWSTR text)
{
    if (!text)
        return 0;
    while (isBlank16(*text))
        ++text;
    bool negative = false;
    if (*text == '+' || *text == '-')
        negative = *text++ == '-';
    long long value = 0;
    for (; *text >= '0' && *text <= '9'; ++text) {
        value = value * 10 + (*text - '0');
        if (value > static_cast<long long>(INT32_MAX) + 1)
            value = static_cast<long long>(INT32_MAX) + 1;
    }
    if (negative)
        value = -value;
    if (value > INT32_MAX)
        value = INT32_MAX;
    return static_cast<LONG>(value);
}

LPWSTR wcstok(LPWSTR text, LPCWSTR delimiters, LPWSTR* context)
{
    if (!context || !delimiters)
        return nullptr;
    LPWSTR p = text ? text : *context;
    if (!p)
        return nullptr;
    while (*p && isDelimiter(*p, delimiters))
        ++p;
    if (!*p) {
        *context = p;
        return nullptr;
    }
    LPWSTR token = p;
    while (*p && !isDelimiter(*p, delimiters))
        ++p;
    if (*p)
        *p++ = 0;
    *context = p;
    return token;
}

LPWSTR _wcslwr(LPWSTR text)
{
    for (LPWSTR p = text; p && *p; ++p)
        *p = mapCase(*p, false);
    return text;
}

LPWSTR _wcsupr(LPWSTR text)
{
    for (LPWSTR p = text; p && *p; ++p)
        *p = mapCase(*p, true);
    return text;
}

namespace platform {

size_t wcsLength(LPCWSTR text)
{
    size_t n = 0;
    while (text && text[n])
        ++n;
    return n;
}

bool wcsCopyBounded(LPWSTR dest, size_t capacity, LPCWSTR source)
{
    if (!dest || capacity == 0)
        return false;
    size_t n = wcsLength(source);
    if (n >= capacity) {
        dest[0] = 0;
        return false;
    }
    for (size_t i = 0; i < n; ++i)
        dest[i] = source[i];
    dest[n] = 0;
    return true;
}

bool wcsAppendBounded(LPWSTR dest, size_t capacity, LPCWSTR source)
{
    if (!dest || capacity == 0)
        return false;
    size_t have = 0;
    while (have < capacity && dest[have])
        ++have;
    if (have == capacity)
        return false; // not terminated inside the buffer
    size_t n = wcsLength(source);
    if (n >= capacity - have)
        return false;
    for (size_t i = 0; i < n; ++i)
        dest[have + i] = source[i];
    dest[have + n] = 0;
    return true;
}

int wcsCompare(LPCWSTR a, LPCWSTR b)
{
    for (;; ++a, ++b) {
        if (*a != *b)
            return *a < *b ? -1 : 1;
        if (!*a)
            return 0;
    }
}

int wcsCompareNoCase(LPCWSTR a, LPCWSTR b, size_t count)
{
    for (size_t i = 0; i < count; ++i) {
        char16_t x = toLower16(a[i]);
        char16_t y = toLower16(b[i]);
        if (x != y)
            return x < y ? -1 : 1;
        if (!x)
            return 0;
    }
    return 0;
}

char16_t toLower16(char16_t c)
{
    return mapCase(c, false);
}

char16_t toUpper16(char16_t c)
{
    return mapCase(c, true);
}

int scanNumber16(LPCWSTR text, const char* format, long* value)
{
    if (!text || !format || !value)
        return 0;
    bool hex = format[0] == '%' && (format[1] == 'x' || format[1] == 'X') && !format[2];
    bool dec = format[0] == '%' && format[1] == 'd' && !format[2];
    if (!hex && !dec)
        return 0;
    while (isBlank16(*text))
        ++text;
    bool negative = false;
    if (*text == '+' || *text == '-')
        negative = *text++ == '-';
    unsigned long long v = 0;
    int digits = 0;
    if (hex) {
        if (text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
            auto isHex = [](char16_t c) {
                return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
            };
            // "0x" without a hex digit after it reads as the number 0.
            text += isHex(text[2]) ? 2 : 1;
            digits = 1;
        }
        for (;; ++text, ++digits) {
            char16_t c = *text;
            int d = c >= '0' && c <= '9'   ? c - '0'
                    : c >= 'a' && c <= 'f' ? c - 'a' + 10
                    : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                           : -1;
            if (d < 0)
                break;
            v = (v << 4 | unsigned(d)) & 0xFFFFFFFFull; // keeps the low 32 bits, as on the device
        }
    } else {
        for (; *text >= '0' && *text <= '9'; ++text, ++digits)
            v = (v * 10 + (*text - '0')) & 0xFFFFFFFFull;
    }
    if (digits == 0)
        return 0;
    uint32_t low = static_cast<uint32_t>(negative ? 0u - v : v);
    *value = hex ? static_cast<long>(low) : static_cast<long>(static_cast<int32_t>(low));
    return 1;
}

std::u16string vformat16(const char* format, va_list args)
{
    va_list again;
    va_copy(again, args);
    int n = std::vsnprintf(nullptr, 0, format, args);
    std::u16string result;
    if (n >= 0) {
        std::vector<char> bytes(size_t(n) + 1);
        std::vsnprintf(bytes.data(), bytes.size(), format, again);
        if (!utf8ToUtf16(std::string_view(bytes.data(), size_t(n)), result)) {
            // A narrow argument that is not UTF-8: show each byte as Windows-1252.
            result.clear();
            for (int i = 0; i < n; ++i)
                result.push_back(cp1252ToUnicode(static_cast<unsigned char>(bytes[size_t(i)])));
        }
    }
    va_end(again);
    return result;
}

std::u16string format16(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    std::u16string result = vformat16(format, args);
    va_end(args);
    return result;
}

} // namespace platform

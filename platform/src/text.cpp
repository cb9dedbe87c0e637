#include "platform/text.h"

#include <cstring>

namespace platform {

namespace {

// 0x80..0x9F; the rest of the code page equals Latin-1.
constexpr char16_t kHighControls[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

size_t length16(LPCWSTR s)
{
    size_t n = 0;
    while (s[n])
        ++n;
    return n;
}

} // namespace

char16_t cp1252ToUnicode(unsigned char byte)
{
    if (byte >= 0x80 && byte <= 0x9F)
        return kHighControls[byte - 0x80];
    return byte;
}

int unicodeToCp1252(char16_t unit)
{
    if (unit < 0x80 || (unit >= 0xA0 && unit <= 0xFF))
        return unit;
    for (int i = 0; i < 32; ++i)
        if (kHighControls[i] == unit)
            return 0x80 + i;
    return -1;
}

bool utf8ToUtf16(std::string_view in, std::u16string& out)
{
    std::u16string result;
    result.reserve(in.size());
    size_t i = 0;
    while (i < in.size()) {
        unsigned char b = static_cast<unsigned char>(in[i]);
        char32_t cp;
        size_t extra;
        char32_t minimum;
        if (b < 0x80) {
            result.push_back(b);
            ++i;
            continue;
        } else if ((b & 0xE0) == 0xC0) {
            cp = b & 0x1F, extra = 1, minimum = 0x80;
        } else if ((b & 0xF0) == 0xE0) {
            cp = b & 0x0F, extra = 2, minimum = 0x800;
        } else if ((b & 0xF8) == 0xF0) {
            cp = b & 0x07, extra = 3, minimum = 0x10000;
        } else {
            return false;
        }
        if (in.size() - i <= extra)
            return false;
        for (size_t k = 1; k <= extra; ++k) {
            unsigned char c = static_cast<unsigned char>(in[i + k]);
            if ((c & 0xC0) != 0x80)
                return false;
            cp = (cp << 6) | (c & 0x3F);
        }
        if (cp < minimum || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
            return false;
        if (cp >= 0x10000) {
            cp -= 0x10000;
            result.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
            result.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
        } else {
            result.push_back(static_cast<char16_t>(cp));
        }
        i += extra + 1;
    }
    out = std::move(result);
    return true;
}

bool utf16ToUtf8(std::u16string_view in, std::string& out)
{
    std::string result;
    result.reserve(in.size());
    for (size_t i = 0; i < in.size(); ++i) {
        char32_t cp = in[i];
        if (cp >= 0xD800 && cp <= 0xDBFF) {
            if (i + 1 >= in.size() || in[i + 1] < 0xDC00 || in[i + 1] > 0xDFFF)
                return false;
            cp = 0x10000 + ((cp - 0xD800) << 10) + (in[++i] - 0xDC00);
        } else if (cp >= 0xDC00 && cp <= 0xDFFF) {
            return false;
        }
        if (cp < 0x80) {
            result.push_back(static_cast<char>(cp));
        } else if (cp < 0x800) {
            result.push_back(static_cast<char>(0xC0 | (cp >> 6)));
            result.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        } else if (cp < 0x10000) {
            result.push_back(static_cast<char>(0xE0 | (cp >> 12)));
            result.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
            result.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        } else {
            result.push_back(static_cast<char>(0xF0 | (cp >> 18)));
            result.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
            result.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
            result.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        }
    }
    out = std::move(result);
    return true;
}

} // namespace platform

int WideCharToMultiByte(UINT codePage, DWORD, LPCWSTR input, int inputLength, char* output,
                        int outputSize, LPCSTR defaultChar, BOOL* usedDefault)
{
    if (!input || inputLength < -1 || outputSize < 0 || (outputSize > 0 && !output) ||
        (codePage != CP_ACP && codePage != CP_UTF8)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    size_t n = inputLength == -1 ? platform::length16(input) + 1 : size_t(inputLength);
    std::string bytes;
    if (codePage == CP_UTF8) {
        if (!platform::utf16ToUtf8(std::u16string_view(input, n), bytes)) {
            SetLastError(1113); // ERROR_NO_UNICODE_TRANSLATION
            return 0;
        }
    } else {
        char fallback = defaultChar ? *defaultChar : '?';
        bool used = false;
        bytes.reserve(n);
        for (size_t i = 0; i < n; ++i) {
            int b = platform::unicodeToCp1252(input[i]);
            // A surrogate pair is one character and becomes one '?'.
            if (b < 0 && input[i] >= 0xD800 && input[i] <= 0xDBFF && i + 1 < n &&
                input[i + 1] >= 0xDC00 && input[i + 1] <= 0xDFFF)
                ++i;
            used |= b < 0;
            bytes.push_back(b < 0 ? fallback : static_cast<char>(b));
        }
        if (usedDefault)
            *usedDefault = used ? TRUE : FALSE;
    }
    if (bytes.size() > 0x7FFFFFFF) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    if (outputSize == 0)
        return static_cast<int>(bytes.size());
    if (bytes.size() > size_t(outputSize)) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    std::memcpy(output, bytes.data(), bytes.size());
    return static_cast<int>(bytes.size());
}

int MultiByteToWideChar(UINT codePage, DWORD, LPCSTR input, int inputLength, LPWSTR output,
                        int outputSize)
{
    if (!input || inputLength < -1 || outputSize < 0 || (outputSize > 0 && !output) ||
        (codePage != CP_ACP && codePage != CP_UTF8)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    size_t n = inputLength == -1 ? std::strlen(input) + 1 : size_t(inputLength);
    std::u16string units;
    if (codePage == CP_UTF8) {
        if (!platform::utf8ToUtf16(std::string_view(input, n), units)) {
            SetLastError(1113); // ERROR_NO_UNICODE_TRANSLATION
            return 0;
        }
    } else {
        units.reserve(n);
        for (size_t i = 0; i < n; ++i)
            units.push_back(platform::cp1252ToUnicode(static_cast<unsigned char>(input[i])));
    }
    if (units.size() > 0x7FFFFFFF) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    if (outputSize == 0)
        return static_cast<int>(units.size());
    if (units.size() > size_t(outputSize)) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    std::memcpy(output, units.data(), units.size() * sizeof(char16_t));
    return static_cast<int>(units.size());
}

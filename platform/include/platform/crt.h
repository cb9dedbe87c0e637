// C run-time helpers on 16-bit text. Linux's wide-character functions work on 32-bit wchar_t,
// so the platform code gets its own versions for WCHAR.
#pragma once

#include "platform/wintypes.h"

#include <cstdarg>
#include <string>

// Skips blanks, reads an optional sign and decimal digits; 0 when there are none. Values beyond
// the range of LONG saturate.
LONG _wtol(LPCWSTR text);
// Re-entrant tokeniser: the first call passes the text, later calls nullptr; `context` keeps the
// position. Delimiters are overwritten with terminators.
LPWSTR wcstok(LPWSTR text, LPCWSTR delimiters, LPWSTR* context);
// Lower/upper case in place over the Basic Multilingual Plane; returns `text`.
LPWSTR _wcslwr(LPWSTR text);
LPWSTR _wcsupr(LPWSTR text);

namespace platform {

size_t wcsLength(LPCWSTR text);
// Copies `source` with its terminator into `dest` of `capacity` units. When it does not fit,
// `dest` becomes empty (if capacity > 0) and the answer is false: a cut path would name
// another file.
bool wcsCopyBounded(LPWSTR dest, size_t capacity, LPCWSTR source);
// Appends like wcsCopyBounded; on failure `dest` is left as it was.
bool wcsAppendBounded(LPWSTR dest, size_t capacity, LPCWSTR source);
// <0, 0, >0 by unit value.
int wcsCompare(LPCWSTR a, LPCWSTR b);
// Case-insensitive over the BMP; `count` limits the units compared (SIZE_MAX: whole texts).
int wcsCompareNoCase(LPCWSTR a, LPCWSTR b, size_t count = SIZE_MAX);
char16_t toLower16(char16_t c);
char16_t toUpper16(char16_t c);

// Reads one number as "%d" (optional blanks and sign, decimal) or "%x" (optional blanks and
// "0x", hexadecimal) would; `format` is "%d" or "%x". Answers 1 and stores the value, or 0 when
// the text does not start with a number (value untouched), like swscanf's count.
int scanNumber16(LPCWSTR text, const char* format, long* value);

// printf-style formatting in UTF-8 (so "%s" takes a narrow UTF-8 text), returned as UTF-16.
std::u16string format16(const char* format, ...) __attribute__((format(printf, 1, 2)));
std::u16string vformat16(const char* format, va_list args);

} // namespace platform

// Text conversion: strict UTF-8 <-> UTF-16, and the code-page calls with CP_ACP fixed to
// Windows-1252 whatever the host locale is, so that byte output is the same on every machine.
#pragma once

#include "platform/wintypes.h"

#include <string>
#include <string_view>

#define CP_ACP 0
#define CP_UTF8 65001

// Output size 0 asks for the size needed (in bytes / units, including the terminator when
// inputLength is -1). Units Windows-1252 cannot show become '?' (or `defaultChar`). Returns 0
// with ERROR_INSUFFICIENT_BUFFER when the output is too small, ERROR_INVALID_PARAMETER on bad
// arguments or a code page other than CP_ACP/CP_UTF8.
int WideCharToMultiByte(UINT codePage, DWORD flags, LPCWSTR input, int inputLength, char* output,
                        int outputSize, LPCSTR defaultChar, BOOL* usedDefault);
int MultiByteToWideChar(UINT codePage, DWORD flags, LPCSTR input, int inputLength, LPWSTR output,
                        int outputSize);

namespace platform {

// False (out unchanged) on malformed input: unpaired surrogates, overlong or truncated
// sequences, code points beyond U+10FFFF or in the surrogate range.
bool utf8ToUtf16(std::string_view in, std::u16string& out);
bool utf16ToUtf8(std::u16string_view in, std::string& out);

// Windows-1252 byte <-> UTF-16 unit. The five bytes the code page leaves undefined map to the
// control characters of the same value, so every byte round-trips.
char16_t cp1252ToUnicode(unsigned char byte);
// The byte for `unit`, or -1 when the code page has none.
int unicodeToCp1252(char16_t unit);

} // namespace platform

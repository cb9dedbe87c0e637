// Text conversions and the 16-bit parsers on arbitrary input: no crash or out-of-bounds access,
// and every accepted conversion round-trips exactly.
#include "platform/PathMapping.h"
#include "platform/crt.h"
#include "platform/text.h"

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string bytes(reinterpret_cast<const char*>(data), size);

    std::u16string wide;
    if (platform::utf8ToUtf16(bytes, wide)) {
        std::string back;
        if (!platform::utf16ToUtf8(wide, back) || back != bytes)
            std::abort();
    }

    // The same bytes read as UTF-16 units.
    std::u16string units(size / 2, u'\0');
    std::memcpy(units.data(), data, units.size() * 2);
    std::string narrow;
    if (platform::utf16ToUtf8(units, narrow)) {
        std::u16string again;
        if (!platform::utf8ToUtf16(narrow, again) || again != units)
            std::abort();
    }

    int need = WideCharToMultiByte(CP_ACP, 0, units.data(), int(units.size()), nullptr, 0, nullptr,
                                   nullptr);
    if (need > int(units.size())) // one byte per unit at most; a surrogate pair gives one
        std::abort();
    std::vector<char> out(size_t(need) + 1);
    if (need > 0)
        WideCharToMultiByte(CP_ACP, 0, units.data(), int(units.size()), out.data(), need, nullptr,
                            nullptr);
    std::vector<char16_t> wideOut(size + 1);
    MultiByteToWideChar(CP_ACP, 0, bytes.data(), int(bytes.size()), wideOut.data(),
                        int(wideOut.size()));

    std::u16string terminated = units;
    terminated.push_back(0);
    long value = 0;
    platform::scanNumber16(terminated.c_str(), "%d", &value);
    platform::scanNumber16(terminated.c_str(), "%x", &value);
    _wtol(terminated.c_str());
    std::string posix;
    platform::PathMapping::toPosix(terminated.c_str(), posix);
    std::u16string platformPath;
    platform::PathMapping::toPlatform(bytes, platformPath);

    std::u16string tokens = terminated;
    char16_t* context = nullptr;
    for (char16_t* t = wcstok(tokens.data(), u" ,", &context); t;
         t = wcstok(nullptr, u" ,", &context))
        platform::wcsLength(t);
    _wcsupr(tokens.data());
    return 0;
}

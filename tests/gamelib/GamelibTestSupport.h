// Byte streams and string helpers shared by the game-library tests.
#pragma once

#include "io/DByteArrayInputStream.h"
#include "lang/DString.h"

#include <string>

namespace gamelibtest {

inline qev::io::DInputStreamPtr streamOf(const std::string& bytes)
{
    qev::lang::DbyteArrayPtr a(new qev::lang::DbyteArray(static_cast<int32_t>(bytes.size())));
    for (size_t i = 0; i < bytes.size(); ++i)
        (*a)[static_cast<int32_t>(i)] = static_cast<int8_t>(bytes[i]);
    return qev::io::DInputStreamPtr(new qev::io::DByteArrayInputStream(a));
}

// A modified-UTF-8 record of an ASCII text: 16-bit big-endian length, then the bytes.
inline std::string record(const std::string& text)
{
    std::string out;
    out.push_back(static_cast<char>(text.size() >> 8));
    out.push_back(static_cast<char>(text.size() & 0xFF));
    return out + text;
}

// ASCII (and Latin-1) text of a framework string; "<null>" for null.
inline std::string ascii(const qev::lang::DStringPtr& s)
{
    if (!s)
        return "<null>";
    std::string out;
    for (int32_t i = 0; i < s->length(); ++i)
        out.push_back(static_cast<char>(s->charAt(i)));
    return out;
}

inline qev::lang::DStringPtr str(const std::string& text)
{
    std::u16string units(text.begin(), text.end());
    return qev::lang::DStringPtr(
        new qev::lang::DString(units.data(), static_cast<int32_t>(units.size())));
}

} // namespace gamelibtest

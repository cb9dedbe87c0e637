// Byte streams and string helpers shared by the game-library tests.
#pragma once

#include "PngBytes.h"

#include "io/DByteArrayInputStream.h"
#include "lang/DString.h"
#include "microedition/lcdui/DImage.h"
#include "raster/ImageHolder.h"

#include <cstdint>
#include <string>
#include <vector>

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

// A PNG of w x h pixels, each given as 0xRRGGBB by rgb(x, y).
using testsupport::pngOf;

// The 0xRRGGBB colour whose RGB565 form is v (each channel's low bits zero).
inline uint32_t rgbOf565(uint16_t v)
{
    return (static_cast<uint32_t>(v >> 11) << 19) | (static_cast<uint32_t>((v >> 5) & 63) << 10) |
           (static_cast<uint32_t>(v & 31) << 3);
}

inline uint16_t pixelAt(const qev::microedition::lcdui::DImagePtr& image, int x, int y)
{
    return image->getHolder()->surface->row(y)[x];
}

} // namespace gamelibtest

// Byte streams and string helpers shared by the game-library tests.
#pragma once

#include "io/DByteArrayInputStream.h"
#include "lang/DString.h"
#include "microedition/lcdui/DImage.h"
#include "raster/ImageHolder.h"

#include <png.h>

#include <cstdint>
#include <functional>
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
inline std::string pngOf(int w, int h, const std::function<uint32_t(int, int)>& rgb)
{
    std::vector<uint8_t> pixels(static_cast<size_t>(w) * h * 3);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const uint32_t c = rgb(x, y);
            uint8_t* p = &pixels[(static_cast<size_t>(y) * w + x) * 3];
            p[0] = static_cast<uint8_t>(c >> 16);
            p[1] = static_cast<uint8_t>(c >> 8);
            p[2] = static_cast<uint8_t>(c);
        }
    }
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(w);
    image.height = static_cast<png_uint_32>(h);
    image.format = PNG_FORMAT_RGB;
    png_alloc_size_t size = 0;
    png_image_write_to_memory(&image, nullptr, &size, 0, pixels.data(), 0, nullptr);
    std::string out(size, '\0');
    png_image_write_to_memory(&image, out.data(), &size, 0, pixels.data(), 0, nullptr);
    out.resize(size);
    return out;
}

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

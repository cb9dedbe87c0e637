#include "PngBytes.h"

#include <png.h>

#include <stdexcept>
#include <vector>

namespace testsupport {

std::string pngOf(int w, int h, const std::function<uint32_t(int, int)>& rgb)
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
    std::string out;
    if (png_image_write_to_memory(&image, nullptr, &size, 0, pixels.data(), 0, nullptr)) {
        out.resize(size);
        if (png_image_write_to_memory(&image, out.data(), &size, 0, pixels.data(), 0, nullptr)) {
            out.resize(size);
            return out;
        }
    }
    throw std::runtime_error("cannot encode a " + std::to_string(w) + " x " + std::to_string(h) +
                             " PNG");
}

std::string solidPng(int w, int h, uint32_t rgb)
{
    return pngOf(w, h, [rgb](int, int) { return rgb; });
}

Picture readPicture(const std::string& path)
{
    Picture picture;
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.c_str()))
        return picture;
    image.format = PNG_FORMAT_RGB;
    std::vector<uint8_t> rgb(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, rgb.data(), 0, nullptr))
        return picture;
    picture.width = static_cast<int>(image.width);
    picture.height = static_cast<int>(image.height);
    picture.rgb = std::move(rgb);
    return picture;
}

} // namespace testsupport

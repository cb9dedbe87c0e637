#include "TestImages.h"

#include <png.h>

#include <cstdio>
#include <jpeglib.h>

#include <cstdlib>
#include <cstring>
#include <stdexcept>

namespace rastertest {

namespace {

void appendBytes(png_structp png, png_bytep data, png_size_t length)
{
    auto* out = static_cast<Bytes*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + length);
}

void noFlush(png_structp) {}

int channelsOf(int colourType)
{
    switch (colourType) {
    case PNG_COLOR_TYPE_GRAY:
    case PNG_COLOR_TYPE_PALETTE:
        return 1;
    case PNG_COLOR_TYPE_GRAY_ALPHA:
        return 2;
    case PNG_COLOR_TYPE_RGB:
        return 3;
    default:
        return 4;
    }
}

// One row in the file's layout: samples of less than 8 bits packed high bit first, 16-bit
// samples big-endian.
std::vector<uint8_t> packRow(const PngLayout& layout, int y)
{
    const int perRow = layout.width * channelsOf(layout.colourType);
    const uint16_t* s = layout.samples.data() + static_cast<size_t>(y) * perRow;
    std::vector<uint8_t> row;
    if (layout.bitDepth == 16) {
        for (int i = 0; i < perRow; ++i) {
            row.push_back(static_cast<uint8_t>(s[i] >> 8));
            row.push_back(static_cast<uint8_t>(s[i]));
        }
    } else if (layout.bitDepth == 8) {
        for (int i = 0; i < perRow; ++i)
            row.push_back(static_cast<uint8_t>(s[i]));
    } else {
        row.assign((static_cast<size_t>(perRow) * layout.bitDepth + 7) / 8, 0);
        for (int i = 0; i < perRow; ++i) {
            const int bit = i * layout.bitDepth;
            row[bit / 8] |= static_cast<uint8_t>(s[i] << (8 - layout.bitDepth - bit % 8));
        }
    }
    return row;
}

} // namespace

PngLayout pngLayout(int width, int height, int colourType, int bitDepth,
                    std::vector<uint16_t> samples, bool interlaced)
{
    PngLayout layout;
    layout.width = width;
    layout.height = height;
    layout.colourType = colourType;
    layout.bitDepth = bitDepth;
    layout.samples = std::move(samples);
    layout.interlaced = interlaced;
    return layout;
}

Bytes encodePng(const PngLayout& layout)
{
    if (layout.samples.size() !=
        static_cast<size_t>(layout.width) * layout.height * channelsOf(layout.colourType))
        throw std::invalid_argument("sample count does not match the size");
    Bytes out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        throw std::runtime_error("libpng could not write the test picture");
    }
    png_set_write_fn(png, &out, appendBytes, noFlush);
    png_set_IHDR(png, info, layout.width, layout.height, layout.bitDepth, layout.colourType,
                 layout.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    if (!layout.palette.empty()) {
        std::vector<png_color> colours;
        for (size_t i = 0; i + 2 < layout.palette.size(); i += 3)
            colours.push_back(
                png_color{layout.palette[i], layout.palette[i + 1], layout.palette[i + 2]});
        png_set_PLTE(png, info, colours.data(), static_cast<int>(colours.size()));
    }
    if (!layout.paletteAlpha.empty())
        png_set_tRNS(png, info, layout.paletteAlpha.data(),
                     static_cast<int>(layout.paletteAlpha.size()), nullptr);
    if (layout.greyKey) {
        png_color_16 key{};
        key.gray = layout.greyKeyValue;
        key.red = key.green = key.blue = layout.greyKeyValue;
        png_set_tRNS(png, info, nullptr, 0, &key);
    }
    std::vector<std::vector<uint8_t>> rows;
    for (int y = 0; y < layout.height; ++y)
        rows.push_back(packRow(layout, y));
    std::vector<png_bytep> pointers;
    for (auto& r : rows)
        pointers.push_back(r.data());
    png_set_rows(png, info, pointers.data());
    png_write_png(png, info, PNG_TRANSFORM_IDENTITY, nullptr);
    png_destroy_write_struct(&png, &info);
    return out;
}

Bytes encodeJpeg(const std::vector<uint8_t>& rgb, int width, int height, JpegKind kind, int quality)
{
    jpeg_compress_struct cinfo;
    jpeg_error_mgr errors;
    cinfo.err = jpeg_std_error(&errors);
    jpeg_create_compress(&cinfo);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&cinfo, &buffer, &size);
    cinfo.image_width = static_cast<JDIMENSION>(width);
    cinfo.image_height = static_cast<JDIMENSION>(height);
    const bool grey = kind == JpegKind::Grey;
    cinfo.input_components = grey ? 1 : 3;
    cinfo.in_color_space = grey ? JCS_GRAYSCALE : JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, quality, TRUE);
    if (kind == JpegKind::Progressive)
        jpeg_simple_progression(&cinfo);
    jpeg_start_compress(&cinfo, TRUE);
    std::vector<uint8_t> row(static_cast<size_t>(width) * 3);
    while (cinfo.next_scanline < cinfo.image_height) {
        const uint8_t* src = rgb.data() + static_cast<size_t>(cinfo.next_scanline) * width * 3;
        if (grey) {
            for (int x = 0; x < width; ++x)
                row[x] = src[x * 3];
        } else {
            std::memcpy(row.data(), src, row.size());
        }
        JSAMPROW r = row.data();
        jpeg_write_scanlines(&cinfo, &r, 1);
    }
    jpeg_finish_compress(&cinfo);
    Bytes out(buffer, buffer + size);
    jpeg_destroy_compress(&cinfo);
    std::free(buffer);
    return out;
}

std::vector<uint8_t> referenceJpegRgb(const Bytes& jpeg, int& width, int& height)
{
    jpeg_decompress_struct cinfo;
    jpeg_error_mgr errors;
    cinfo.err = jpeg_std_error(&errors);
    jpeg_create_decompress(&cinfo);
    jpeg_mem_src(&cinfo, jpeg.data(), jpeg.size());
    jpeg_read_header(&cinfo, TRUE);
    cinfo.out_color_space = JCS_RGB;
    jpeg_start_decompress(&cinfo);
    width = static_cast<int>(cinfo.output_width);
    height = static_cast<int>(cinfo.output_height);
    std::vector<uint8_t> rgb(static_cast<size_t>(width) * height * 3);
    while (cinfo.output_scanline < cinfo.output_height) {
        JSAMPROW r = rgb.data() + static_cast<size_t>(cinfo.output_scanline) * width * 3;
        jpeg_read_scanlines(&cinfo, &r, 1);
    }
    jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
    return rgb;
}

size_t findChunk(const Bytes& png, const char* type)
{
    for (size_t at = 8; at + 8 <= png.size();) {
        const uint32_t length = uint32_t(png[at]) << 24 | uint32_t(png[at + 1]) << 16 |
                                uint32_t(png[at + 2]) << 8 | png[at + 3];
        if (std::memcmp(&png[at + 4], type, 4) == 0)
            return at;
        at += 12 + static_cast<size_t>(length);
    }
    return std::string::npos;
}

} // namespace rastertest

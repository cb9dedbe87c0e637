// Decoding a 240 x 320 picture into an RGB565 surface, against libpng's and libjpeg's own
// decode of the same file into 8-bit RGB rows (the work the decoder adds is the conversion and
// the surface).
#include "raster/ImageDecoder.h"

#include <benchmark/benchmark.h>

#include <png.h>

#include <cstdio>
#include <jpeglib.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

constexpr int kWidth = 240, kHeight = 320;

// A photograph-like picture: smooth colour fields with fine texture.
std::vector<uint8_t> picture()
{
    std::vector<uint8_t> rgb;
    uint32_t noise = 1;
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) {
            noise = noise * 1103515245u + 12345u;
            const int n = int(noise >> 28) - 8;
            const double fx = x / double(kWidth), fy = y / double(kHeight);
            rgb.push_back(
                uint8_t(std::clamp(int(128 + 100 * std::sin(fx * 7 + fy * 3)) + n, 0, 255)));
            rgb.push_back(
                uint8_t(std::clamp(int(128 + 90 * std::cos(fy * 9 - fx * 2)) + n, 0, 255)));
            rgb.push_back(uint8_t(std::clamp(int(60 + 160 * fx * fy) + n, 0, 255)));
        }
    return rgb;
}

std::vector<uint8_t> encodePng(const std::vector<uint8_t>& rgb)
{
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = kWidth;
    image.height = kHeight;
    image.format = PNG_FORMAT_RGB;
    png_alloc_size_t size = 0;
    png_image_write_to_memory(&image, nullptr, &size, 0, rgb.data(), 0, nullptr);
    std::vector<uint8_t> out(size);
    png_image_write_to_memory(&image, out.data(), &size, 0, rgb.data(), 0, nullptr);
    out.resize(size);
    return out;
}

std::vector<uint8_t> encodeJpeg(const std::vector<uint8_t>& rgb)
{
    jpeg_compress_struct cinfo;
    jpeg_error_mgr errors;
    cinfo.err = jpeg_std_error(&errors);
    jpeg_create_compress(&cinfo);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&cinfo, &buffer, &size);
    cinfo.image_width = kWidth;
    cinfo.image_height = kHeight;
    cinfo.input_components = 3;
    cinfo.in_color_space = JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, 85, TRUE);
    jpeg_start_compress(&cinfo, TRUE);
    while (cinfo.next_scanline < cinfo.image_height) {
        JSAMPROW row = const_cast<uint8_t*>(rgb.data()) + size_t(cinfo.next_scanline) * kWidth * 3;
        jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
    std::vector<uint8_t> out(buffer, buffer + size);
    jpeg_destroy_compress(&cinfo);
    std::free(buffer);
    return out;
}

const std::vector<uint8_t>& pngFile()
{
    static const std::vector<uint8_t> file = encodePng(picture());
    return file;
}

const std::vector<uint8_t>& jpegFile()
{
    static const std::vector<uint8_t> file = encodeJpeg(picture());
    return file;
}

void decodeOurs(benchmark::State& state, const std::vector<uint8_t>& file)
{
    for (auto _ : state) {
        ImageHolder* image = DecodeImage(file.data(), file.data() + file.size());
        if (!image) {
            state.SkipWithError("decode failed");
            break;
        }
        benchmark::DoNotOptimize(image->surface->pixels);
        DestroyImage(image);
    }
    state.SetItemsProcessed(int64_t(state.iterations()) * kWidth * kHeight);
}

void BM_DecodePng_Raster(benchmark::State& state)
{
    decodeOurs(state, pngFile());
}

void BM_DecodeJpeg_Raster(benchmark::State& state)
{
    decodeOurs(state, jpegFile());
}

struct Reader
{
    const uint8_t* data;
    size_t size, position;
};

void readMemory(png_structp png, png_bytep out, png_size_t length)
{
    auto* r = static_cast<Reader*>(png_get_io_ptr(png));
    if (length > r->size - r->position)
        png_error(png, "short");
    std::memcpy(out, r->data + r->position, length);
    r->position += length;
}

// libpng alone: the same transforms into RGB rows.
void BM_DecodePng_Libpng(benchmark::State& state)
{
    const std::vector<uint8_t>& file = pngFile();
    for (auto _ : state) {
        Reader reader{file.data(), file.size(), 0};
        png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
        png_infop info = png_create_info_struct(png);
        if (setjmp(png_jmpbuf(png))) {
            state.SkipWithError("libpng failed");
            break;
        }
        png_set_read_fn(png, &reader, readMemory);
        png_read_info(png, info);
        png_set_strip_16(png);
        png_set_strip_alpha(png);
        png_set_packing(png);
        png_set_interlace_handling(png);
        png_read_update_info(png, info);
        const png_uint_32 height = png_get_image_height(png, info);
        const size_t rowBytes = png_get_rowbytes(png, info);
        std::vector<uint8_t> pixels(rowBytes * height);
        std::vector<png_bytep> rows(height);
        for (png_uint_32 y = 0; y < height; ++y)
            rows[y] = pixels.data() + rowBytes * y;
        png_read_image(png, rows.data());
        benchmark::DoNotOptimize(pixels.data());
        png_destroy_read_struct(&png, &info, nullptr);
    }
    state.SetItemsProcessed(int64_t(state.iterations()) * kWidth * kHeight);
}

// libjpeg alone: RGB rows, one scanline per call as the decoder reads them.
void BM_DecodeJpeg_Libjpeg(benchmark::State& state)
{
    const std::vector<uint8_t>& file = jpegFile();
    for (auto _ : state) {
        jpeg_decompress_struct cinfo;
        jpeg_error_mgr errors;
        cinfo.err = jpeg_std_error(&errors);
        jpeg_create_decompress(&cinfo);
        jpeg_mem_src(&cinfo, file.data(), file.size());
        jpeg_read_header(&cinfo, TRUE);
        cinfo.out_color_space = JCS_RGB;
        jpeg_start_decompress(&cinfo);
        std::vector<uint8_t> pixels(size_t(cinfo.output_width) * cinfo.output_height * 3);
        while (cinfo.output_scanline < cinfo.output_height) {
            JSAMPROW row = pixels.data() + size_t(cinfo.output_scanline) * cinfo.output_width * 3;
            jpeg_read_scanlines(&cinfo, &row, 1);
        }
        jpeg_finish_decompress(&cinfo);
        jpeg_destroy_decompress(&cinfo);
        benchmark::DoNotOptimize(pixels.data());
    }
    state.SetItemsProcessed(int64_t(state.iterations()) * kWidth * kHeight);
}

BENCHMARK(BM_DecodePng_Raster);
BENCHMARK(BM_DecodePng_Libpng);
BENCHMARK(BM_DecodeJpeg_Raster);
BENCHMARK(BM_DecodeJpeg_Libjpeg);

} // namespace

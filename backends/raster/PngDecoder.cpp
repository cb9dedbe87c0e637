// PNG through libpng: every colour type becomes 8-bit RGB rows (16-bit samples stripped, alpha
// dropped, small depths expanded, palette and grey expanded to RGB), then RGB565. Palette
// entries with tRNS alpha 0 become magenta first, so they decode to the colour key.
//
// libpng reports fatal errors by calling our error handler, which must not return: it jumps
// back to the setjmp below. Everything the decode allocates hangs off a heap-held job so that
// the jump target can release it; no object with a destructor lives between the two.
#include "raster/DecodeJob.h"
#include "raster/ImageDecoder.h"
#include "raster/PixelConvert.h"

#include <png.h>

#include <csetjmp>
#include <cstdlib>
#include <cstring>
#include <new>

namespace {

struct PngJob
{
    const uint8_t* data = nullptr;
    size_t size = 0;
    size_t position = 0;
    png_structp png = nullptr;
    png_infop info = nullptr;
    uint8_t* pixels = nullptr; // one RGB row, or all rows of an interlaced image
    png_bytep* rows = nullptr;
    Surface* surface = nullptr;
    ImageHolder* holder = nullptr;
};

[[noreturn]] void onError(png_structp png, png_const_charp)
{
    png_longjmp(png, 1);
}

void onWarning(png_structp, png_const_charp) {}

void readFromMemory(png_structp png, png_bytep out, png_size_t length)
{
    auto* job = static_cast<PngJob*>(png_get_io_ptr(png));
    // Running out of data is fatal: libpng would otherwise decode a buffer it never filled.
    if (length > job->size - job->position)
        png_error(png, "read past the end of the data");
    std::memcpy(out, job->data + job->position, length);
    job->position += length;
}

void release(PngJob* job)
{
    png_destroy_read_struct(&job->png, job->info ? &job->info : nullptr, nullptr);
    std::free(job->rows);
    std::free(job->pixels);
    delete job->surface;
    delete job->holder;
    delete job;
}

// Palette entries that are fully transparent become (255, 0, 255) before the expansion.
void keyTransparentPalette(png_structp png, png_infop info)
{
    png_colorp palette = nullptr;
    int count = 0;
    png_bytep alpha = nullptr;
    int alphaCount = 0;
    if (!png_get_PLTE(png, info, &palette, &count) ||
        !png_get_tRNS(png, info, &alpha, &alphaCount, nullptr) || !alpha)
        return;
    png_color copy[PNG_MAX_PALETTE_LENGTH];
    if (count > PNG_MAX_PALETTE_LENGTH)
        count = PNG_MAX_PALETTE_LENGTH;
    std::memcpy(copy, palette, sizeof(png_color) * static_cast<size_t>(count));
    bool changed = false;
    for (int i = 0; i < alphaCount && i < count; ++i) {
        if (alpha[i] == 0) {
            copy[i] = png_color{255, 0, 255};
            changed = true;
        }
    }
    if (changed)
        png_set_PLTE(png, info, copy, count);
}

// Runs inside the setjmp scope; returns false for images it refuses.
bool decode(PngJob* job)
{
    png_structp png = job->png;
    png_infop info = job->info;
    png_set_read_fn(png, job, readFromMemory);
    png_set_user_limits(png, kMaxImageSide, kMaxImageSide);
    png_read_info(png, info);

    png_uint_32 width = 0, height = 0;
    int depth = 0, colourType = 0;
    png_get_IHDR(png, info, &width, &height, &depth, &colourType, nullptr, nullptr, nullptr);
    if (width == 0 || height == 0 || width > kMaxImageSide || height > kMaxImageSide)
        return false;

    png_set_strip_16(png);
    png_set_strip_alpha(png);
    png_set_packing(png);
    if (colourType == PNG_COLOR_TYPE_PALETTE) {
        if (png_get_valid(png, info, PNG_INFO_tRNS))
            keyTransparentPalette(png, info);
        png_set_palette_to_rgb(png);
    }
    if (colourType == PNG_COLOR_TYPE_GRAY || colourType == PNG_COLOR_TYPE_GRAY_ALPHA)
        png_set_gray_to_rgb(png);
    // Interlaced images are assembled by png_read_image over all passes.
    png_set_interlace_handling(png);
    png_read_update_info(png, info);

    const size_t rowBytes = static_cast<size_t>(width) * 3;
    if (png_get_rowbytes(png, info) != rowBytes || png_get_channels(png, info) != 3 ||
        png_get_bit_depth(png, info) != 8)
        return false;
    const auto w = static_cast<int32_t>(width), h = static_cast<int32_t>(height);
    job->surface = Surface::Create(w, h);
    if (!job->surface)
        return false;
    if (png_get_interlace_type(png, info) == PNG_INTERLACE_NONE) {
        // Row by row through one RGB row: the same pixels as a whole-image read, in a
        // fraction of the memory.
        job->pixels = static_cast<uint8_t*>(std::malloc(rowBytes));
        if (!job->pixels)
            return false;
        for (int32_t y = 0; y < h; ++y) {
            png_read_row(png, job->pixels, nullptr);
            Gfx::Internal::rgbRowTo565(job->pixels, job->surface->row(y), w);
        }
        return true;
    }
    // Interlaced passes revisit every row, so the whole image is read first.
    job->pixels = static_cast<uint8_t*>(std::malloc(rowBytes * height));
    job->rows = static_cast<png_bytep*>(std::malloc(sizeof(png_bytep) * height));
    if (!job->pixels || !job->rows)
        return false;
    for (png_uint_32 y = 0; y < height; ++y)
        job->rows[y] = job->pixels + rowBytes * y;
    png_read_image(png, job->rows);
    for (int32_t y = 0; y < h; ++y)
        Gfx::Internal::rgbRowTo565(job->rows[y], job->surface->row(y), w);
    return true;
}

} // namespace

ImageHolder* DecodePng(const uint8_t* data, size_t size)
{
    if (!data)
        return nullptr;
    PngJob* const job = new (std::nothrow) PngJob;
    if (!job)
        return nullptr;
    job->data = data;
    job->size = size;
    job->holder = new (std::nothrow) ImageHolder;
    job->png = png_create_read_struct(PNG_LIBPNG_VER_STRING, job, onError, onWarning);
    if (job->png)
        job->info = png_create_info_struct(job->png);
    if (!job->holder || !job->png || !job->info) {
        release(job);
        return nullptr;
    }
    if (setjmp(png_jmpbuf(job->png))) {
        release(job);
        return nullptr;
    }
    return finishDecodeJob(job, decode(job));
}

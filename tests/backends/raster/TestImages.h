// Test pictures made on the spot: PNG files written with libpng and JPEG files written with
// libjpeg into memory, and libjpeg's own decode of a JPEG as the reference.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace rastertest {

using Bytes = std::vector<uint8_t>;

struct PngLayout
{
    int width = 0;
    int height = 0;
    int colourType = 2; // PNG_COLOR_TYPE_*
    int bitDepth = 8;
    bool interlaced = false;
    // Samples packed as the PNG row layout wants them, before any bit packing: one value per
    // sample, row by row (16-bit samples as values up to 65535).
    std::vector<uint16_t> samples;
    std::vector<uint8_t> palette;      // r, g, b per entry
    std::vector<uint8_t> paletteAlpha; // tRNS of a palette image
    bool greyKey = false;              // tRNS of a grey image
    uint16_t greyKeyValue = 0;
};

PngLayout pngLayout(int width, int height, int colourType, int bitDepth,
                    std::vector<uint16_t> samples = {}, bool interlaced = false);
Bytes encodePng(const PngLayout& layout);

enum class JpegKind { Baseline, Progressive, Grey };
// rgb holds width * height * 3 bytes (for Grey only the red byte of each pixel is used).
Bytes encodeJpeg(const std::vector<uint8_t>& rgb, int width, int height, JpegKind kind,
                 int quality = 90);
// libjpeg's own decode of `jpeg` to 8-bit RGB rows; empty when it fails.
std::vector<uint8_t> referenceJpegRgb(const Bytes& jpeg, int& width, int& height);

// Offset of the first byte of the first chunk of `type` ("IDAT"), or npos.
size_t findChunk(const Bytes& png, const char* type);

} // namespace rastertest

// PNG and JPEG files into RGB565 surfaces. Each call returns a new ImageHolder {surface, no
// colour key} owning a new surface of the image's size, or null for data that cannot be
// decoded (damaged, truncated, unsupported, larger than kMaxImageSide on a side, or out of
// memory). The caller owns both; DestroyImage frees them.
#pragma once

#include "platform/ProgramFolder.h" // resolveAppPath
#include "platform/wintypes.h"
#include "raster/ImageHolder.h"

#include <cstddef>
#include <cstdint>

constexpr int32_t kMaxImageSide = 8192;

// PNG when the data is longer than 7 bytes and starts with the PNG signature, JPEG otherwise.
ImageHolder* DecodeImage(const uint8_t* begin, const uint8_t* end);
ImageHolder* DecodePng(const uint8_t* data, size_t size);
ImageHolder* DecodeJpeg(const uint8_t* data, size_t size);

// Decodes a file of the device: a path starting with "\" as written, any other path in the
// program's folder. Null when the file cannot be opened or mapped, or the path does not fit
// MAX_PATH.
ImageHolder* LoadImageFile(LPCWSTR path);

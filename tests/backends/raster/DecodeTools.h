// Decoded images held for a test and released with their surface.
#pragma once

#include "TestImages.h"
#include "raster/ImageDecoder.h"

#include <memory>

namespace rastertest {

struct ImageDeleter
{
    void operator()(ImageHolder* h) const { DestroyImage(h); }
};
using ImagePtr = std::unique_ptr<ImageHolder, ImageDeleter>;

inline ImagePtr decode(const Bytes& bytes)
{
    return ImagePtr(DecodeImage(bytes.data(), bytes.data() + bytes.size()));
}

} // namespace rastertest

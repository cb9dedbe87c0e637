#include "raster/ImageDecoder.h"

#include <cstring>

namespace {
const uint8_t kPngSignature[8] = {137, 80, 78, 71, 13, 10, 26, 10};
} // namespace

ImageHolder* DecodeImage(const uint8_t* begin, const uint8_t* end)
{
    if (!begin || !end || end < begin)
        return nullptr;
    const size_t size = static_cast<size_t>(end - begin);
    if (size > 7 && std::memcmp(begin, kPngSignature, 8) == 0)
        return DecodePng(begin, size);
    return DecodeJpeg(begin, size);
}

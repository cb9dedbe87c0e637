// PNG decoding of any bytes: null or a well-formed image, never a crash, leak or hang.
// libpng rejects chunks whose CRC does not match, which would stop nearly every mutation at
// the first chunk; the target therefore puts the signature in front when it is missing and
// rewrites every complete chunk's CRC before decoding.
#include "DecodedImageCheck.h"

#include <zlib.h>

#include <cstdint>
#include <cstring>
#include <vector>

namespace {

const uint8_t kSignature[8] = {137, 80, 78, 71, 13, 10, 26, 10};

uint32_t readBig32(const uint8_t* p)
{
    return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | p[3];
}

void fixCrcs(std::vector<uint8_t>& png)
{
    for (size_t at = 8; png.size() - at >= 12;) {
        const uint32_t length = readBig32(&png[at]);
        if (length > png.size() - at - 12)
            break;
        const uint32_t crc = uint32_t(crc32(0, &png[at + 4], length + 4));
        uint8_t* out = &png[at + 8 + length];
        out[0] = uint8_t(crc >> 24);
        out[1] = uint8_t(crc >> 16);
        out[2] = uint8_t(crc >> 8);
        out[3] = uint8_t(crc);
        at += 12 + length;
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // An exact-size copy so that any read past the end is caught.
    std::vector<uint8_t> bytes;
    if (size < 8 || std::memcmp(data, kSignature, 8) != 0)
        bytes.assign(kSignature, kSignature + 8);
    bytes.insert(bytes.end(), data, data + size);
    fixCrcs(bytes);
    checkAndFree(DecodePng(bytes.data(), bytes.size()));
    return 0;
}

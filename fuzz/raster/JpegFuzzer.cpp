// JPEG decoding of any bytes (through DecodeImage, which also picks the format): null or a
// well-formed image, never a crash, leak or hang.
#include "DecodedImageCheck.h"

#include <cstdint>
#include <vector>

namespace {

// Frames up to the decoder's limit of 8192 pixels a side take a second or more each, which
// starves the search of everything else; the decoder's handling of those is kept in its unit
// tests, and here inputs that declare a frame above a megapixel are passed over.
constexpr uint64_t kMaxFramePixels = 1u << 20;

bool isFrameMarker(uint8_t m)
{
    // SOF0 to SOF15 without DHT (C4), JPG (C8) and DAC (CC).
    return m >= 0xC0 && m <= 0xCF && m != 0xC4 && m != 0xC8 && m != 0xCC;
}

// Any frame header anywhere in the data counts, whether or not the decoder would reach it.
bool declaresLargeFrame(const uint8_t* data, size_t size)
{
    for (size_t i = 0; i + 8 < size; ++i) {
        if (data[i] != 0xFF || !isFrameMarker(data[i + 1]))
            continue;
        const uint64_t height = uint64_t(data[i + 5]) << 8 | data[i + 6];
        const uint64_t width = uint64_t(data[i + 7]) << 8 | data[i + 8];
        if (width * height > kMaxFramePixels)
            return true;
    }
    return false;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (declaresLargeFrame(data, size))
        return 0;
    std::vector<uint8_t> bytes(data, data + size);
    checkAndFree(DecodeImage(bytes.data(), bytes.data() + bytes.size()));
    return 0;
}

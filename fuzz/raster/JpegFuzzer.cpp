// JPEG decoding of any bytes (through DecodeImage, which also picks the format): null or a
// well-formed image, never a crash, leak or hang.
#include "DecodedImageCheck.h"

#include <cstdint>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::vector<uint8_t> bytes(data, data + size);
    checkAndFree(DecodeImage(bytes.data(), bytes.data() + bytes.size()));
    return 0;
}

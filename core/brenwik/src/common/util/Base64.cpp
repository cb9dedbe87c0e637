#include "util/Base64.h"

#include <cstring>

namespace qev::util {

namespace {
const char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
} // namespace

size_t base64EncodedSize(unsigned len)
{
    size_t text = 4 * ((static_cast<size_t>(len) + 2) / 3);
    return text + 2 * (text / 76) + 1;
}

void base64Encode(const char* data, unsigned len, char* out)
{
    std::memset(out, 0, base64EncodedSize(len));
    const auto* in = reinterpret_cast<const unsigned char*>(data);
    char* p = out;
    unsigned groups = 0;
    unsigned i = 0;
    for (; len - i >= 3; i += 3) { // (i + 3 would wrap for inputs near 4 GiB)
        unsigned v = (in[i] << 16) | (in[i + 1] << 8) | in[i + 2];
        *p++ = kAlphabet[(v >> 18) & 0x3F];
        *p++ = kAlphabet[(v >> 12) & 0x3F];
        *p++ = kAlphabet[(v >> 6) & 0x3F];
        *p++ = kAlphabet[v & 0x3F];
        if (++groups % 19 == 0) {
            *p++ = '\r';
            *p++ = '\n';
        }
    }
    unsigned rest = len - i;
    if (rest > 0) {
        unsigned v = in[i] << 16;
        if (rest == 2)
            v |= in[i + 1] << 8;
        *p++ = kAlphabet[(v >> 18) & 0x3F];
        *p++ = kAlphabet[(v >> 12) & 0x3F];
        *p++ = rest == 2 ? kAlphabet[(v >> 6) & 0x3F] : '=';
        *p++ = '=';
    }
    *p = 0;
}

} // namespace qev::util

// MIME Base64 encoding of raw bytes: lines of 76 characters separated by CR LF.
#pragma once

#include <cstddef>

namespace qev::util {

// Bytes the output needs for len input bytes, terminator included:
// L + 2 * (L / 76) + 1 with L = 4 * ceil(len / 3).
size_t base64EncodedSize(unsigned len);

// Writes the Base64 text of the len bytes at data into out (which holds base64EncodedSize(len)
// bytes, all cleared first), 0-terminated. A CR LF follows every 76 characters of full groups;
// none follows a final padded group.
void base64Encode(const char* data, unsigned len, char* out);

} // namespace qev::util

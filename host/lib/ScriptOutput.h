// What the scripted runner writes: frames as PNG files, record stores as text, and the hash
// the manifest lists for each.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace host {

// FNV-1a, 64 bits, as 16 hexadecimal digits.
std::string fnv1a64(const void* bytes, size_t size);

// Writes width x height RGB565 pixels as an 8-bit RGB PNG; false with `problem` set.
bool writeFramePng(const std::string& path, const uint16_t* pixels, int width, int height,
                   std::string& problem);

// Every record store of the application, one line per record: store name, record id and the
// record's bytes in hexadecimal, separated by blanks; stores by name, records by id.
std::string recordStoresText(const std::u16string& applicationName);

} // namespace host

// PNG files made in memory, for the pictures that tests and benchmarks put into a program folder
// or an archive.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace testsupport {

// An 8-bit RGB PNG of w x h pixels, each given as 0xRRGGBB by rgb(x, y); std::runtime_error
// when libpng cannot encode it.
std::string pngOf(int w, int h, const std::function<uint32_t(int, int)>& rgb);

// An 8-bit RGB PNG of w x h pixels of one colour (0xRRGGBB).
std::string solidPng(int w, int h, uint32_t rgb);

} // namespace testsupport

// PNG files made in memory, for the pictures that tests and benchmarks put into a program folder
// or an archive.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace testsupport {

// An 8-bit RGB PNG of w x h pixels, each given as 0xRRGGBB by rgb(x, y); std::runtime_error
// when libpng cannot encode it.
std::string pngOf(int w, int h, const std::function<uint32_t(int, int)>& rgb);

// An 8-bit RGB PNG of w x h pixels of one colour (0xRRGGBB).
std::string solidPng(int w, int h, uint32_t rgb);

// A PNG file's pixels as 0xRRGGBB (a dumped screen); empty when it cannot be read.
struct Picture
{
    int width = 0;
    int height = 0;
    std::vector<uint8_t> rgb;

    uint32_t at(int x, int y) const
    {
        const uint8_t* p = &rgb[(static_cast<size_t>(y) * width + x) * 3];
        return (uint32_t(p[0]) << 16) | (uint32_t(p[1]) << 8) | p[2];
    }
};
Picture readPicture(const std::string& path);

} // namespace testsupport

// splashgen OUT.cpp: draws the splash picture and writes it as the C++ table behind
// SplashBitmap, so that a start only copies it.
#include "SplashArt.h"

#include <cstdio>

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: splashgen OUT.cpp\n");
        return 2;
    }
    const std::vector<uint16_t> pixels = host::SplashArt::draw();
    std::FILE* out = std::fopen(argv[1], "w");
    if (!out) {
        std::perror(argv[1]);
        return 1;
    }
    std::fprintf(out, "// Written by splashgen from SplashArt.cpp; do not edit.\n"
                      "#include \"SplashBitmap.h\"\n\n#include <iterator>\n\n"
                      "namespace host {\n\nnamespace {\n\n"
                      "const uint16_t kPixels[] = {");
    for (size_t i = 0; i < pixels.size(); ++i)
        std::fprintf(out, "%s0x%04x,", i % 12 == 0 ? "\n    " : " ", pixels[i]);
    std::fprintf(out,
                 "\n};\n\n} // namespace\n\n"
                 "const int SplashBitmap::kWidth = %d;\n"
                 "const int SplashBitmap::kHeight = %d;\n\n"
                 "std::vector<uint16_t> SplashBitmap::pixels()\n{\n"
                 "    static_assert(sizeof kPixels / sizeof kPixels[0] == %zu);\n"
                 "    return {std::begin(kPixels), std::end(kPixels)};\n}\n\n"
                 "} // namespace host\n",
                 host::SplashArt::kWidth, host::SplashArt::kHeight, pixels.size());
    if (std::fclose(out) != 0) {
        std::perror(argv[1]);
        std::remove(argv[1]);
        return 1;
    }
    return 0;
}

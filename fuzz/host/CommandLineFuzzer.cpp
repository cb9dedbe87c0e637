// The program's command line on arbitrary UTF-16 text: no read past a token, and the display
// size is either the screen's or two positive numbers given with /nofullscreen.
#include "CommandLine.h"

#include <cstdlib>
#include <cstring>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::u16string line(size / 2, u'\0');
    std::memcpy(line.data(), data, line.size() * 2);
    // The line ends at its first terminator, as the platform hands it over.
    const host::CommandLine parsed = host::CommandLine::parse(line.c_str());
    int width = 0, height = 0;
    parsed.displaySize(240, 320, width, height);
    const bool screen = width == 240 && height == 320;
    const bool given = !parsed.fullScreen && parsed.anyToken && width == parsed.width &&
                       height == parsed.height && width > 0 && height > 0;
    if (!screen && !given)
        std::abort();
    // Tokens are what lies between blanks: a line of blanks alone has none.
    const std::u16string text(line.c_str());
    if (parsed.anyToken != (text.find_first_not_of(u' ') != std::u16string::npos))
        std::abort();
    return 0;
}

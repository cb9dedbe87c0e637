#include "platform/entry.h"
#include "platform/text.h"

namespace platform {

std::u16string commandLineFrom(int argc, const char* const* argv)
{
    std::u16string line;
    for (int i = 1; i < argc; ++i) {
        if (i > 1)
            line += u' ';
        std::u16string arg;
        if (!utf8ToUtf16(argv[i], arg)) {
            arg.clear();
            for (const char* p = argv[i]; *p; ++p)
                arg += cp1252ToUnicode(static_cast<unsigned char>(*p));
        }
        line += arg;
    }
    return line;
}

} // namespace platform

#include "Rules.h"

#include <charconv>
#include <iostream>

namespace datarules {

std::string narrow(const qev::lang::DStringPtr& text)
{
    std::string out;
    for (int32_t i = 0; i < text->length(); ++i) {
        const char16_t c = text->charAt(i);
        out.push_back(c < 0x80 ? static_cast<char>(c) : '?');
    }
    return out;
}

qev::lang::DStringPtr wide(const std::string& text)
{
    return qev::lang::DStringPtr(std::u16string(text.begin(), text.end()).c_str());
}

std::vector<std::string> inputLines()
{
    std::vector<std::string> lines;
    std::string line;
    while (std::getline(std::cin, line))
        if (!line.empty())
            lines.push_back(line);
    return lines;
}

bool parseNumber(const std::string& text, int32_t& value)
{
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    return ec == std::errc() && ptr == end && !text.empty();
}

} // namespace datarules

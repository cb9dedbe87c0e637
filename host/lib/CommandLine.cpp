#include "CommandLine.h"

#include "platform/crt.h"

#include <string>

namespace host {

namespace {

bool startsWith(const char16_t* token, const char16_t* keyword)
{
    for (; *keyword; ++token, ++keyword)
        if (*token != *keyword)
            return false;
    return true;
}

size_t length(const char16_t* text)
{
    size_t n = 0;
    while (text[n])
        ++n;
    return n;
}

// The number after the keyword and its separator; -1 when the token holds no more than the
// keyword (reading past it would leave the token).
int numberAfter(const char16_t* token, size_t keywordLength)
{
    if (length(token) <= keywordLength)
        return -1;
    return static_cast<int>(_wtol(token + keywordLength + 1));
}

} // namespace

CommandLine CommandLine::parse(const char16_t* line)
{
    CommandLine result;
    if (!line)
        return result;
    std::u16string copy(line);
    char16_t* context = nullptr;
    for (char16_t* token = wcstok(copy.data(), u" ", &context); token;
         token = wcstok(nullptr, u" ", &context)) {
        result.anyToken = true;
        if (startsWith(token, u"/nofullscreen"))
            result.fullScreen = false;
        else if (startsWith(token, u"/width"))
            result.width = numberAfter(token, 6);
        else if (startsWith(token, u"/height"))
            result.height = numberAfter(token, 7);
    }
    return result;
}

void CommandLine::displaySize(int screenWidth, int screenHeight, int& outWidth,
                              int& outHeight) const
{
    if (!anyToken || fullScreen || width < 1 || height < 1) {
        outWidth = screenWidth;
        outHeight = screenHeight;
    } else {
        outWidth = width;
        outHeight = height;
    }
}

} // namespace host

#include "sound/sndMusic.h"

#include "sound/sndResult.h"

#include <cstdlib>
#include <cstring>

sndMusic::~sndMusic()
{
    Free();
}

void sndMusic::Free()
{
    if (ownsData)
        std::free(data);
    data = nullptr;
    size = 0;
    ownsData = 0;
}

int sndMusic::GetChannelCount(const uint8_t* s)
{
    auto isDigit = [](uint8_t c) { return c >= '0' && c <= '9'; };
    if (s[0] == 'M' && s[2] == 'K')
        return 4;
    if (s[1] != 'C' && s[2] != 'C')
        return 0;
    int first = isDigit(s[0]) ? s[0] - '0' : 0;
    if (isDigit(s[1]))
        return first * 10 + (s[1] - '0');
    return first;
}

int sndMusic::Load(const uint8_t* bytes, size_t length)
{
    Free();
    if (!bytes)
        return sndErrNoData;
    if (length < 1084)
        return sndErrFormat;
    const int tracks = GetChannelCount(bytes + 1080);
    if (tracks == 0)
        return sndErrFormat;
    const int songLength = bytes[950];
    if (songLength > 128)
        return sndErrFormat; // the order table has 128 entries
    int patterns = 0;
    for (int i = 0; i < songLength; ++i)
        patterns = bytes[952 + i] > patterns ? bytes[952 + i] : patterns;
    size_t samples = 0;
    for (int k = 0; k < 31; ++k) {
        const uint8_t* h = bytes + 20 + 30 * k + 22;
        samples += 2u * ((h[0] << 8) | h[1]);
    }
    const size_t image = 1084 + static_cast<size_t>(tracks) * 256 * (patterns + 1) + samples;
    if (image > length)
        return sndErrFormat;
    data = static_cast<uint8_t*>(std::malloc(image));
    if (!data)
        return sndErrNoData;
    std::memcpy(data, bytes, image);
    size = image;
    ownsData = 1;
    rate = 44100;
    rateFactor = 44100;
    return 0;
}

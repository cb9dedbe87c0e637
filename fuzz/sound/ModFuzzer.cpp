// MOD loading and a few rows of playback, so the player reads every cell and sample it meets.
#include "sound/sndMusic.h"
#include "sound/sndSpeaker.h"

#include <cstdint>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::vector<uint8_t> bytes(data, data + size);
    sndMusic music;
    if (music.Load(bytes.data(), bytes.size()) != 0)
        return 0;
    // Player reads go to the owned copy, which is exactly the image size.
    sndSpeaker speaker;
    speaker.OpenWith(nullptr, 8000, 16, 1, 1, 8);
    music.loop = 1;
    speaker.PlayMusic(music);
    std::vector<int16_t> out(4096);
    for (int i = 0; i < 8; ++i)
        speaker.Mix(out.data(), static_cast<uint32_t>(out.size() * 2));
    return 0;
}

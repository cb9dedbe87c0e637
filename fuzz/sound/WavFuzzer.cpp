// WAV loading (PCM and MS-ADPCM) and a short mix of whatever loaded.
#include "sound/sndSound.h"
#include "sound/sndSpeaker.h"

#include <cstdint>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // An exact-size copy so that any read past the end is caught.
    std::vector<uint8_t> bytes(data, data + size);
    sndSound sound;
    if (sound.Load(bytes.data(), bytes.size()) != 0)
        return 0;
    sndSpeaker speaker;
    speaker.OpenWith(nullptr, 44100, 16, 1, 1, 8);
    sound.loop = 1;
    speaker.PlaySound(sound);
    int16_t out[512];
    speaker.Mix(out, sizeof out);
    return 0;
}

#include "Renderer.h"

#include "sound/sndMusic.h"
#include "sound/sndSound.h"
#include "sound/sndSpeaker.h"

#include <cstring>

namespace modrender {

Result render(const std::vector<uint8_t>& file, const Options& o)
{
    Result r;
    sndSpeaker speaker;
    if (int c = speaker.OpenWith(nullptr, o.rate, o.bits, o.stereo, 1, 8); c != 0) {
        r.code = c;
        r.error = "cannot open the mixer";
        return r;
    }
    sndSound sound;
    sndMusic music;
    sndChannel* channel = nullptr;
    const bool isWav = file.size() >= 4 && std::memcmp(file.data(), "RIFF", 4) == 0;
    if (isWav) {
        r.code = sound.Load(file.data(), file.size());
        if (r.code == 0)
            channel = speaker.GetChannel(speaker.PlaySound(sound));
    } else {
        r.code = music.Load(file.data(), file.size());
        if (r.code == 0) {
            music.separation = o.separation;
            channel = speaker.GetChannel(speaker.PlayMusic(music));
        }
    }
    if (r.code != 0 || !channel) {
        if (r.code == 0)
            r.code = -1000;
        r.error =
            isWav ? "not a WAV file the mixer can play" : "not a MOD file the player can play";
        return r;
    }
    const uint32_t frameBytes = static_cast<uint32_t>((o.bits == 8 ? 1 : 2) * (o.stereo ? 2 : 1));
    const uint32_t chunkFrames = 1024;
    const uint64_t maxFrames = static_cast<uint64_t>(o.maxSeconds * o.rate);
    std::vector<uint8_t> chunk(chunkFrames * frameBytes);
    for (uint64_t done = 0; !channel->stopped && done < maxFrames; done += chunkFrames) {
        speaker.Mix(chunk.data(), static_cast<uint32_t>(chunk.size()));
        r.pcm.insert(r.pcm.end(), chunk.begin(), chunk.end());
    }
    return r;
}

std::vector<uint8_t> wavFile(const std::vector<uint8_t>& pcm, const Options& o)
{
    std::vector<uint8_t> v;
    // The 44-byte header and the samples in one allocation.
    v.reserve(44 + pcm.size());
    auto put16 = [&](uint32_t x) {
        v.push_back(static_cast<uint8_t>(x));
        v.push_back(static_cast<uint8_t>(x >> 8));
    };
    auto put32 = [&](uint32_t x) {
        put16(x & 0xFFFF);
        put16(x >> 16);
    };
    // Byte by byte: GCC's -Wstringop-overflow misreads a range insert into the empty vector.
    auto tag = [&](const char* t) {
        for (int i = 0; i < 4; ++i)
            v.push_back(static_cast<uint8_t>(t[i]));
    };
    const uint32_t channels = o.stereo ? 2 : 1;
    const uint32_t align = channels * static_cast<uint32_t>(o.bits) / 8;
    tag("RIFF");
    put32(static_cast<uint32_t>(36 + pcm.size()));
    tag("WAVE");
    tag("fmt ");
    put32(16);
    put16(1);
    put16(channels);
    put32(static_cast<uint32_t>(o.rate));
    put32(static_cast<uint32_t>(o.rate) * align);
    put16(align);
    put16(static_cast<uint32_t>(o.bits));
    tag("data");
    put32(static_cast<uint32_t>(pcm.size()));
    v.insert(v.end(), pcm.begin(), pcm.end());
    return v;
}

} // namespace modrender

#include "Renderer.h"

#include "sound/sndMixOutput.h"
#include "sound/sndMixWide.h"
#include "sound/sndMusic.h"
#include "sound/sndMusicChannel.h"
#include "sound/sndSound.h"
#include "sound/sndSoundChannel.h"
#include "sound/sndSpeaker.h"

#include <algorithm>
#include <cstring>
#include <memory>

namespace modrender {

bool jumpsBack(const sndMusic& music)
{
    const uint8_t* song = music.data;
    const int tracks = music.GetChannelCount();
    if (!song || music.size < 1084 || tracks <= 0)
        return false;
    const size_t patternBytes = static_cast<size_t>(64) * static_cast<size_t>(tracks) * 4;
    const int length = song[950] < 128 ? song[950] : 128;
    for (int order = 0; order < length; ++order) {
        const size_t start = 1084 + song[952 + order] * patternBytes;
        if (start + patternBytes > music.size)
            continue;
        for (size_t cell = start; cell < start + patternBytes; cell += 4) {
            // Effect 11 (position jump) to this order or an earlier one.
            if ((song[cell + 2] & 0x0F) == 0x0B && song[cell + 3] <= order)
                return true;
        }
    }
    return false;
}

namespace {

// The frames of `sums` as output samples, the way the mixer writes them: `first` is what the
// music sums, `second` what the sound sums (scaled down on output).
void writeFrames(uint8_t* out, const sndPackedSum* first, const sndPackedSum* second,
                 uint32_t frames, const Options& o)
{
    if (o.bits == 8) {
        if (o.stereo)
            sndWriteFrames<true>(out, first, second, frames, sndTo8);
        else
            sndWriteFrames<false>(out, first, second, frames, sndTo8);
        return;
    }
    auto* out16 = reinterpret_cast<int16_t*>(out);
    if (o.stereo)
        sndWriteFrames16Stereo(out16, first, second, frames);
    else
        sndWriteFrames<false>(out16, first, second, frames, sndTo16);
}

} // namespace

Result renderTo(const std::vector<uint8_t>& file, const Options& o, const Sink& sink)
{
    Result r;
    sndSpeaker speaker;
    // As many sound channels as the game opens, for overlays that ring together.
    if (int c = speaker.OpenWith(nullptr, o.rate, o.bits, o.stereo, 1, 32); c != 0) {
        r.code = c;
        r.error = "cannot open the mixer";
        return r;
    }
    speaker.SetMasterVolumes(o.volume, o.volume);
    std::vector<std::unique_ptr<sndSound>> overlays;
    std::vector<uint64_t> overlayFrames;
    for (const Overlay& v : o.overlays) {
        auto s = std::make_unique<sndSound>();
        if (int c = s->Load(v.file.data(), v.file.size()); c != 0) {
            r.code = c;
            r.error = "an overlay is not a WAV file the mixer can play";
            return r;
        }
        overlays.push_back(std::move(s));
        overlayFrames.push_back(static_cast<uint64_t>(std::max(0.0, v.atSeconds) * o.rate));
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
            // Without the loop flag the player ends a song at a jump back; such a song is
            // meant to repeat, and plays until the time limit.
            music.loop = jumpsBack(music) ? 1 : 0;
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
    const size_t frameBytes = static_cast<size_t>((o.bits == 8 ? 1 : 2) * (o.stereo ? 2 : 1));
    const uint64_t maxFrames = o.maxSeconds > 0 ? static_cast<uint64_t>(o.maxSeconds * o.rate) : 0;
    if (!overlays.empty()) {
        // Effects over the song: the whole speaker mixes, one frame at a time, so that the output
        // ends exactly where the song or sound does (the frame in which the channel finds its end
        // holds nothing of it and is not kept).
        std::vector<uint8_t> frame(frameBytes);
        for (uint64_t done = 0; done < maxFrames; ++done) {
            for (size_t k = 0; k < overlays.size(); ++k) {
                if (overlayFrames[k] == done)
                    speaker.PlaySound(*overlays[k]);
            }
            speaker.Mix(frame.data(), static_cast<uint32_t>(frameBytes));
            if (channel->stopped)
                break;
            sink(frame.data(), frameBytes);
        }
        return r;
    }
    // The one channel alone (its volume already holds the master level, set before it started)
    // is mixed straight into sums a block at a time, as the speaker mixes it, so that the output
    // ends exactly where the song or sound does: the channel tells how many frames of a block it
    // filled before it found its end.
    constexpr uint32_t kBlock = 1024;
    std::vector<sndPackedSum> sums(kBlock), silence(kBlock, 0);
    std::vector<uint8_t> out(kBlock * frameBytes);
    const bool stereo = o.stereo == 1;
    for (uint64_t done = 0; done < maxFrames;) {
        const auto n = static_cast<uint32_t>(std::min<uint64_t>(kBlock, maxFrames - done));
        std::fill_n(sums.begin(), n, 0);
        const uint32_t filled =
            isWav
                ? static_cast<sndSoundChannel*>(channel)->mixBlock(o.rate, stereo, sums.data(), n)
                : static_cast<sndMusicChannel*>(channel)->mixBlock(o.rate, stereo, sums.data(), n);
        if (isWav)
            writeFrames(out.data(), silence.data(), sums.data(), filled, o);
        else
            writeFrames(out.data(), sums.data(), silence.data(), filled, o);
        if (filled)
            sink(out.data(), filled * frameBytes);
        done += filled;
        if (filled < n)
            break;
    }
    return r;
}

Result render(const std::vector<uint8_t>& file, const Options& o)
{
    std::vector<uint8_t> pcm;
    Result r = renderTo(file, o, [&pcm](const uint8_t* bytes, size_t size) {
        pcm.insert(pcm.end(), bytes, bytes + size);
    });
    r.pcm = std::move(pcm);
    return r;
}

std::vector<uint8_t> wavHeader(size_t pcmBytes, const Options& o)
{
    std::vector<uint8_t> v(44);
    size_t at = 0;
    auto put16 = [&](uint32_t x) {
        v[at++] = static_cast<uint8_t>(x);
        v[at++] = static_cast<uint8_t>(x >> 8);
    };
    auto put32 = [&](uint32_t x) {
        put16(x & 0xFFFF);
        put16(x >> 16);
    };
    auto tag = [&](const char(&t)[5]) {
        for (int i = 0; i < 4; ++i)
            v[at++] = static_cast<uint8_t>(t[i]);
    };
    const uint32_t channels = o.stereo ? 2 : 1;
    const uint32_t align = channels * static_cast<uint32_t>(o.bits) / 8;
    tag("RIFF");
    put32(static_cast<uint32_t>(36 + pcmBytes));
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
    put32(static_cast<uint32_t>(pcmBytes));
    return v;
}

std::vector<uint8_t> wavFile(const std::vector<uint8_t>& pcm, const Options& o)
{
    std::vector<uint8_t> v = wavHeader(pcm.size(), o);
    v.insert(v.end(), pcm.begin(), pcm.end());
    return v;
}

} // namespace modrender

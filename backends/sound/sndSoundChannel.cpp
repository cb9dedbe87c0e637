#include "sound/sndSoundChannel.h"

#include "sound/sndMixWide.h"

#include "sound/sndMixSpan.h"
#include "sound/sndSound.h"
#include "sound/sndSpeaker.h"

void sndSoundChannel::setVolume(int v)
{
    int vol = v < 0 ? 0 : (v < 64 ? v : 64);
    volume = vol;
    effectiveVolume = vol * speaker->MasterSoundVolume() >> 6;
}

void sndSoundChannel::setPan(int v)
{
    pan = v < 0 ? 0 : (v < 255 ? v : 255);
}

int sndSoundChannel::getPosition()
{
    speaker->Lock();
    const int frames = static_cast<int>(position >> shift());
    speaker->Unlock();
    return frames;
}

void sndSoundChannel::setPosition(int v)
{
    speaker->Lock();
    position = static_cast<uint64_t>(static_cast<uint32_t>(v)) << shift();
    speaker->Unlock();
}

int sndSoundChannel::getLength()
{
    return static_cast<int>(end >> shift());
}

void sndSoundChannel::start(const sndSound& sound)
{
    data = sound.data;
    fileRate = sound.rate;
    playbackRate = sound.playbackRate;
    loop = sound.loop;
    pan = sound.pan < 0 ? 0 : (sound.pan > 255 ? 255 : sound.pan);
    is8Bit = sound.is8Bit;
    stereo = sound.stereo;
    end = static_cast<uint64_t>(sound.frames) << 8;
    position = 0;
    rateChanged = 1;
    setVolume(sound.volume < 0 ? 0 : sound.volume);
}

namespace {

using SpanMixer = void (*)(const uint8_t*, uint64_t&, uint32_t, sndPackedSum, sndPackedSum,
                           sndPackedSum*, uint32_t);

template <sndLayout Layout> SpanMixer spanMixerFor(bool eightBit, bool stereoSource)
{
    if (eightBit)
        return stereoSource ? sndAddSoundSpan<true, true, Layout>
                            : sndAddSoundSpan<true, false, Layout>;
    if constexpr (Layout == sndLayout::Summed) {
        if (stereoSource)
            return sndAddSoundSpan16StereoSummed; // several frames a step where it can
    }
    return stereoSource ? sndAddSoundSpan<false, true, Layout>
                        : sndAddSoundSpan<false, false, Layout>;
}

} // namespace

uint32_t sndSoundChannel::mixBlock(int outputRate, bool stereoOutput, sndPackedSum* sums,
                                   uint32_t frames)
{
    if (rateChanged) {
        step = static_cast<uint32_t>((static_cast<uint64_t>(playbackRate) << 16) /
                                     (static_cast<uint64_t>(outputRate) << 8));
        rateChanged = 0;
    }
    // Volume and pan hold for the whole block; the game thread changes each as one word.
    const int32_t v = effectiveVolume.load(std::memory_order_relaxed);
    const int32_t pn = pan.load(std::memory_order_relaxed);
    SpanMixer mix = spanMixerFor<sndLayout::Summed>(is8Bit, stereo);
    sndPackedSum factor = sndPack(v, 0); // mono output: the left sum only
    sndPackedSum second = 0;
    if (stereoOutput && pn == 128) {
        factor = sndPack(v, stereo ? 0 : v);
        if (stereo) {
            second = sndPack(0, v);
            mix = spanMixerFor<sndLayout::Split>(is8Bit, true);
        }
    } else if (stereoOutput) {
        const int32_t d = 2 * v;
        const int32_t w = d * pn >> 8;
        factor = sndPack(d - w, w);
    }
    uint32_t done = 0;
    while (done < frames) {
        if (loop && position >= end && end > 0)
            position -= end;
        if (position >= end) {
            stopped = 1;
            paused = 0;
            return done;
        }
        const uint32_t run = sndFramesBefore(position, end, step, frames - done);
        mix(data, position, step, factor, second, sums + done, run);
        done += run;
    }
    return done;
}

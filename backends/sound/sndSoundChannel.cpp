#include "sound/sndSoundChannel.h"

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

void sndSoundChannel::mixFrame(int outputRate, bool stereoOutput, int32_t& left, int32_t& right)
{
    if (rateChanged) {
        step = static_cast<uint32_t>((static_cast<uint64_t>(playbackRate) << 16) /
                                     (static_cast<uint64_t>(outputRate) << 8));
        rateChanged = 0;
    }
    if (loop && position >= end && end > 0)
        position -= end;
    if (position >= end) {
        stopped = 1;
        paused = 0;
        return;
    }
    const uint64_t frame = position >> 8;
    int32_t t, o = 0;
    if (is8Bit) {
        const uint8_t* p = data + frame * (stereo ? 2 : 1);
        t = (p[0] - 128) << 8;
        if (stereo)
            o = (p[1] - 128) << 8;
    } else {
        const int16_t* p = reinterpret_cast<const int16_t*>(data) + frame * (stereo ? 2 : 1);
        t = p[0];
        if (stereo)
            o = p[1];
    }
    const int32_t v = effectiveVolume.load(std::memory_order_relaxed);
    const int32_t pn = pan.load(std::memory_order_relaxed);
    if (stereoOutput) {
        if (pn == 128) {
            left += t * v;
            right += (stereo ? o : t) * v;
        } else {
            const int32_t d = 2 * v;
            const int32_t w = d * pn >> 8;
            left += t * (d - w);
            right += t * w;
            if (stereo) {
                left += o * (d - w);
                right += o * w;
            }
        }
    } else {
        left += t * v;
        if (stereo)
            left += o * v;
    }
    position += step;
}

// A channel that plays one sample (sndSound) at its own rate, volume and pan.
#pragma once

#include "sound/sndChannel.h"
#include "sound/sndMixSpan.h"

class sndSound;

class sndSoundChannel : public sndChannel
{
  public:
    void setVolume(int v) override;
    void setPan(int v) override;
    int getPosition() override;
    void setPosition(int v) override;
    int getLength() override;

    // Sets the channel up from the sound; the caller holds the driver lock.
    void start(const sndSound& sound);
    // Adds `frames` output frames to the packed sums (the right halves stay 0 for mono output),
    // stopping the channel where a sound without loop ends; the caller holds the driver lock.
    // Returns the frames the sound filled: fewer than `frames` when it ended within them.
    uint32_t mixBlock(int outputRate, bool stereoOutput, sndPackedSum* sums, uint32_t frames);

    std::atomic<int> volume{64};
    std::atomic<int> effectiveVolume{64};
    std::atomic<int> pan{128};
    std::atomic<uint8_t> loop{0};
    uint32_t fileRate = 0;
    uint32_t playbackRate = 0;
    uint8_t rateChanged = 0;
    const uint8_t* data = nullptr;
    uint32_t step = 0;
    uint64_t position = 0; // 24.8 frame index
    uint64_t end = 0;
    uint8_t is8Bit = 0;
    uint8_t stereo = 0;

  private:
    int shift() const { return 9 + (is8Bit ? 0 : 1) - (stereo ? 0 : 1); }
};

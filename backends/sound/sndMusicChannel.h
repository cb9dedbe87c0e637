// A channel that plays a MOD song: the song clock (rows and ticks), the effects of each track and
// the mixing of the tracks' samples.
#pragma once

#include "sound/sndChannel.h"
#include "sound/sndMixSpan.h"

class sndMusic;

class sndMusicChannel : public sndChannel
{
  public:
    static constexpr uint32_t kNone = 0xFFFFFF;

    void setVolume(int v) override;
    void setPan(int v) override;
    int getPosition() override;
    void setPosition(int v) override;
    int getLength() override;

    // Sets the channel up for the song; the caller holds the driver lock. False when the song
    // cannot be played (no track count, or no orders).
    bool start(const sndMusic& music);
    // Advances the song by `frames` output samples and adds the tracks to the packed sums (the
    // right halves stay 0 for mono output); the caller holds the driver lock. Returns the frames
    // the song filled: fewer than `frames` when it ended within them.
    uint32_t mixBlock(int outputRate, bool stereoOutput, sndPackedSum* sums, uint32_t frames);

    struct Sample
    {
        uint32_t length = 0; // 20.12 byte counts
        uint32_t loopStart = 0;
        uint32_t loopLength = 0;
        int finetune = 0;
        int volume = 0;
        const int8_t* data = nullptr;
    };

    struct Track
    {
        int sample = 0;
        int noteIndex = 0;
        int period = 0;
        uint32_t step = 0;
        int volume = 0;
        int effectiveVolume = 0;
        int effect = 0, x = 0, y = 0, param = 0;
        uint64_t position = 0;
        int pan = 128;
        int slide = 0;
        int portaPeriod = 0;
        int portaTarget = 0;
        int portaSpeed = 0;
        int arpCounter = 0;
        uint32_t arpSteps[3] = {};
        int vibPos = 0, vibSpeed = 0, vibDepth = 0;
        int32_t delayCounter = static_cast<int32_t>(kNone);
        int delayedPeriod = 0;
        int cutCounter = 0;
        uint32_t offsetMemory = 0;
        int loopCounter = 0;
        int loopRow = 0;
    };

    std::atomic<int> songVolume{64};
    std::atomic<int> effectiveSongVolume{64};
    std::atomic<int> separation{255};
    std::atomic<uint8_t> loop{0};
    uint32_t rateFactorInput = 44100;
    int tickRate = 50;
    uint32_t samplesPerTick = 0;
    uint8_t rateChanged = 1;
    uint32_t sampleCounter = 0;
    int tickCounter = 6;
    int speed = 6;
    int order = 0;
    int rowOffset = 0;
    int pattern = 0;
    int restartOrder = 0;
    uint32_t jumpOrder = kNone;
    int jumpRowOffset = 0;
    int patternDelay = 0;
    // The song has run out (or jumped past its end): it stops at the next row instead of
    // reading one.
    bool ending = false;
    int tracks = 4;
    int songLength = 0;
    const uint8_t* song = nullptr;
    const uint8_t* patternBase = nullptr;
    Sample samples[32];
    Track track[32];

  private:
    uint32_t stepOf(int period) const;
    int tableAt(int index) const;
    void updateEffective(Track& t) const;
    void processRow();
    void processCell(Track& t, const uint8_t* cell);
    void advanceSong();
    void tickEffects(Track& t);
    void slideVolume(Track& t);
    void updateSamplesPerTick(int outputRate);
    // Samples from now on that only count towards the next tick (no row, no tick effects).
    uint32_t quietSamples() const;
    // The clock's work for a sample that starts a tick or reads a row; false when the song has
    // ended and the channel stopped.
    bool clockEvent();
    static sndPackedSum factorOf(const Track& t, bool stereoOutput);
    // True with `bound` (the loop's end, or the sample's end) when the track is inside its
    // sample below it, after the loop's wrap; false, with the position untouched, otherwise.
    bool runBound(Track& t, uint64_t& bound) const;
    void mixTrackPair(Track& a, Track& b, bool stereoOutput, sndPackedSum* sums, uint32_t frames);
    void mixTracks(bool stereoOutput, sndPackedSum* sums, uint32_t frames);
    void mixTrack(Track& t, bool stereoOutput, sndPackedSum* sums, uint32_t frames);
};

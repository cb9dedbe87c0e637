// The software mixer: owns the output driver and the pools of music and sound channels, and
// mixes every buffer the driver asks for.
#pragma once

#include "sound/sndMusicChannel.h"
#include "sound/sndSoundChannel.h"

#include <cstdint>

class sndDriver;
class sndMusic;
class sndSound;

class sndSpeaker
{
  public:
    sndSpeaker() = default;
    virtual ~sndSpeaker();
    sndSpeaker(const sndSpeaker&) = delete;
    sndSpeaker& operator=(const sndSpeaker&) = delete;

    // Creates and opens a sndWinMM driver, then the channel pools; 0 or a negative code.
    int Open(int rate, int bits, int stereo, int musicChannels, int soundChannels);
    // The same with a driver the caller made (owned from now on, deleted by Close); a null
    // driver opens the speaker without output, for rendering through Mix.
    int OpenWith(sndDriver* driver, int rate, int bits, int stereo, int musicChannels,
                 int soundChannels);
    int Close();
    int PlaySound(const sndSound& sound);
    int PlayMusic(const sndMusic& music);
    sndChannel* GetChannel(int index);

    // The fill callback: mixes `bytes` bytes of output into buffer.
    void Mix(void* buffer, uint32_t bytes);
    static void FillCallback(void* context, void* buffer, uint32_t bytes);

    void Lock();
    void Unlock();

    uint32_t Step(int period) const { return m_step[period]; }
    int PeriodToNote(int period) const;
    int MasterMusicVolume() const { return m_masterMusic; }
    int MasterSoundVolume() const { return m_masterSound; }
    void SetMasterVolumes(int music, int sound);
    bool IsOpen() const { return m_open; }
    int MusicChannelCount() const { return m_musicCount; }
    int SoundChannelCount() const { return m_soundCount; }
    int OutputRate() const { return m_rate; }
    bool Is16Bit() const { return m_16bit; }
    bool IsStereo() const { return m_stereo; }
    sndDriver* Driver() const { return m_driver; }
    sndMusicChannel* MusicChannel(int i) { return &m_music[i]; }
    sndSoundChannel* SoundChannel(int i) { return &m_sound[i]; }

    int bufferingMs = 180;

  protected:
    // Allocates the channel pools and their active lists for the counts already set; false when
    // memory runs out (whatever was allocated is freed by the caller).
    virtual bool allocateChannels();

  private:
    // Frames mixed at a time into the sums below.
    static constexpr uint32_t kBlockFrames = 256;

    void buildTables();
    // Mixes `frames` (at most kBlockFrames) frames of the active channels into the sums.
    void mixBlock(int musicActive, int soundActive, uint32_t frames);
    // Writes the sums of `frames` frames as output, from frame `first` of the buffer on.
    void writeBlock(void* buffer, uint32_t first, uint32_t frames);
    void freeAll();

    sndDriver* m_driver = nullptr;
    sndMusicChannel* m_music = nullptr;
    sndMusicChannel** m_activeMusic = nullptr;
    int m_musicCount = 0;
    sndSoundChannel* m_sound = nullptr;
    sndSoundChannel** m_activeSound = nullptr;
    int m_soundCount = 0;
    uint32_t m_step[1713] = {};
    uint8_t m_periodToNote[1713] = {};
    int m_masterMusic = 64;
    int m_masterSound = 64;
    int m_rate = 44100;
    bool m_stereo = true;
    bool m_16bit = true;
    bool m_open = false;
    // Music sums enter the output as they are, sound sums scaled down.
    sndPackedSum m_musicSums[kBlockFrames] = {};
    sndPackedSum m_soundSums[kBlockFrames] = {};
};

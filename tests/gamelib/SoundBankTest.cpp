#include "gamelib/SoundBank.h"
#include "../profile/MediaTestSupport.h"
#include "GamelibTestSupport.h"
#include "ShellFixture.h"

using namespace gamelib;
using namespace qev::lang;
using namespace qev::microedition::media;

namespace {

std::string bytesOf(const std::vector<uint8_t>& v)
{
    return std::string(v.begin(), v.end());
}

// Sounds as plain files of the program folder, played on the manual audio device.
class SoundBanks : public shelltest::ShellTest
{
  protected:
    SoundBanks()
    {
        platform::DeviceProfile::current().audio = platform::AudioMode::Manual;
        platform::setManualWaveOutConfig({});
        resetSound();
        releaseSounds();
        sfxEnabled = 1;
        writeFile("snd/beep.wav", bytesOf(mediatest::wavBytes(44100)));
        writeFile("snd/song.mod", bytesOf(mediatest::modBytes()));
        auto damaged = mediatest::wavBytes(100);
        damaged.resize(damaged.size() - 50);
        writeFile("snd/both.wav", bytesOf(damaged));
        writeFile("snd/both.mod", bytesOf(mediatest::modBytes()));
        DStringArrayPtr names(new DStringArray(4));
        (*names)[0] = DStringPtr(u"/snd/beep");
        (*names)[1] = DStringPtr(u"/snd/song");
        (*names)[2] = DStringPtr(u"/snd/none");
        (*names)[3] = DStringPtr(u"/snd/both");
        loadSounds(names);
    }
    ~SoundBanks() override
    {
        releaseSounds();
        resetSound();
        platform::setManualWaveOutConfig({});
        platform::DeviceProfile::current().audio = platform::AudioMode::Sdl;
    }

    static DPlayerPtr bank(int i) { return (*soundBank)[i]; }
    static bool started(int i) { return bank(i)->getState() == DPlayer::STARTED; }
};

} // namespace

TEST_F(SoundBanks, EachNameGetsAWavOrModPlayerOrNone)
{
    ASSERT_EQ(4, soundBank->length);
    EXPECT_EQ(DPlayer::KIND_WAV, bank(0)->kind);
    EXPECT_EQ(DPlayer::KIND_MOD, bank(1)->kind);
    EXPECT_EQ(nullptr, bank(2).get());
    // A WAV that does not load gives way to the MOD of the same name.
    EXPECT_EQ(DPlayer::KIND_MOD, bank(3)->kind);
    EXPECT_EQ(DPlayer::PREFETCHED, bank(0)->getState());
    EXPECT_EQ(DPlayer::PREFETCHED, bank(1)->getState());
}

TEST_F(SoundBanks, EffectsNeedTheSwitchMusicDoesNot)
{
    setSfxLevel(0);
    EXPECT_EQ(0, getSfxLevel());
    EXPECT_EQ(0, getSfxVolume());
    playSound(0, 1);
    EXPECT_FALSE(started(0));
    EXPECT_EQ(nullptr, currentSoundPlayer.get());
    playSound(1, -1);
    EXPECT_TRUE(started(1));
    EXPECT_EQ(-1, bank(1)->loopCount);
    EXPECT_EQ(bank(1).get(), currentSoundPlayer.get());

    setSfxLevel(2);
    EXPECT_EQ(2, getSfxLevel());
    playSound(0, 1);
    EXPECT_TRUE(started(0));
    EXPECT_EQ(bank(0).get(), currentSoundPlayer.get());
    stopCurrentSound();
    EXPECT_FALSE(started(0));
    EXPECT_EQ(nullptr, currentSoundPlayer.get());
    EXPECT_TRUE(started(1));
}

TEST_F(SoundBanks, MusicThatPlaysIsLeftAlone)
{
    playSound(1, -1);
    ASSERT_TRUE(started(1));
    const int32_t channel = bank(1)->channel;
    EXPECT_FALSE(startSoundPlayer(bank(1)));
    EXPECT_TRUE(started(1));
    EXPECT_EQ(channel, bank(1)->channel);
    EXPECT_TRUE(bank(1)->isPlaying());
}

TEST_F(SoundBanks, IndexesWithoutPlayerDoNothing)
{
    playSound(1, -1);
    for (int32_t i : {-1, 2, 4, 99}) {
        playSound(i, 1);
        rewindSound(i);
        stopSound(i);
    }
    EXPECT_TRUE(started(1));
    EXPECT_FALSE(started(0));
    EXPECT_EQ(bank(1).get(), currentSoundPlayer.get());
}

TEST_F(SoundBanks, StopAndRewind)
{
    playSound(0, 1);
    playSound(1, -1);
    rewindSound(1);
    EXPECT_FALSE(started(1));
    EXPECT_TRUE(started(0));
    stopSound(0);
    EXPECT_FALSE(started(0));
    playSound(0, 1);
    rewindSound(0);
    EXPECT_FALSE(started(0));
    EXPECT_FALSE(bank(0)->isPlaying());
    playSound(0, 1);
    playSound(3, 1);
    stopAllSounds();
    for (int i : {0, 1, 3})
        EXPECT_FALSE(started(i)) << i;
    // Loading a new bank stops the old one first.
    playSound(1, -1);
    DPlayerPtr old = bank(1);
    loadSounds(DStringArrayPtr(new DStringArray(0)));
    EXPECT_NE(DPlayer::STARTED, old->getState());
    EXPECT_EQ(0, soundBank->length);
    EXPECT_EQ(nullptr, currentSoundPlayer.get());
}

TEST_F(SoundBanks, LevelsAndVolumes)
{
    const int32_t volumes[] = {0, 21, 42, 64};
    for (int level = 0; level < 4; ++level) {
        setSfxLevel(level);
        setMusicLevel(3 - level);
        EXPECT_EQ(volumes[level], getSfxVolume());
        EXPECT_EQ(volumes[3 - level], getMusicVolume());
        EXPECT_EQ(level, getSfxLevel());
        EXPECT_EQ(3 - level, getMusicLevel());
        EXPECT_EQ(level != 0, sfxEnabled != 0);
    }
    // Another value turns effects on and keeps the volume.
    setSfxLevel(0);
    setSfxLevel(7);
    EXPECT_EQ(1, sfxEnabled);
    EXPECT_EQ(0, getSfxVolume());
    setMusicLevel(-1);
    EXPECT_EQ(0, getMusicVolume()); // level 0 from the last round
    // Volumes set elsewhere read as the nearest level above.
    const std::pair<int32_t, int32_t> edges[] = {{1, 1}, {21, 1}, {22, 2}, {42, 2}, {43, 3}};
    for (auto [volume, level] : edges) {
        setMusicVolume(volume);
        EXPECT_EQ(level, getMusicLevel()) << volume;
    }
}

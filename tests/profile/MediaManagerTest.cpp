// Sound start-up with its fall-backs, the player factory and the mixer-wide controls.
#include "CoreTestSupport.h"
#include "MediaTestSupport.h"

#include "lang/DSystem.h"
#include "platform/DeviceProfile.h"
#include "platform/testing/FakeClock.h"
#include "platform/testing/ManualWaveOut.h"

#include <map>
#include <string>

using namespace qev::lang;
using namespace qev::microedition::media;
using namespace mediatest;

namespace {

using MediaManager = MediaFixture;

// The defaults plus rates for the three fall-back keys.
int32_t withFallbackRates(DStringPtr key)
{
    static const std::map<std::u16string, int32_t> extra = {{u"sound.frequency.1", 32000},
                                                            {u"sound.frequency.2", 22050},
                                                            {u"sound.frequency.3", 11025}};
    auto it = extra.find(key->chars());
    return it != extra.end() ? it->second : DSystem::getIntProperty(key);
}

void configure(const platform::ManualWaveOutConfig& c)
{
    platform::setManualWaveOutConfig(c);
}

} // namespace

TEST_F(MediaManager, DefaultPropertiesOpenAtTheFirstAttempt)
{
    EXPECT_FALSE(soundStarted());
    startSound();
    ASSERT_TRUE(soundStarted());
    EXPECT_EQ(1u, platform::manualWaveOutOpenAttempts());
    sndSpeaker* m = soundMixer();
    ASSERT_NE(nullptr, m);
    EXPECT_EQ(44100, m->OutputRate());
    EXPECT_TRUE(m->IsStereo());
    EXPECT_TRUE(m->Is16Bit());
    EXPECT_EQ(16, m->MusicChannelCount());
    EXPECT_EQ(32, m->SoundChannelCount());
    EXPECT_EQ(48, playerTable()->length);
    EXPECT_EQ(32, getSfxVolume());
    EXPECT_EQ(32, getMusicVolume());
    EXPECT_EQ(32, m->MasterSoundVolume());
    startSound(); // once started, nothing more
    EXPECT_EQ(1u, platform::manualWaveOutOpenAttempts());
}

TEST_F(MediaManager, FallBackRatesInStereoThenInMono)
{
    setSoundPropertyReader(withFallbackRates);
    platform::ManualWaveOutConfig noRate;
    noRate.refusedRate = 44100;
    configure(noRate);
    startSound();
    ASSERT_NE(nullptr, soundMixer());
    EXPECT_EQ(32000, soundMixer()->OutputRate());
    EXPECT_TRUE(soundMixer()->IsStereo());
    resetSound();

    platform::ManualWaveOutConfig noStereo;
    noStereo.refusedChannels = 2;
    noStereo.refusedRate = 32000;
    configure(noStereo);
    startSound();
    ASSERT_NE(nullptr, soundMixer());
    EXPECT_FALSE(soundMixer()->IsStereo());
    EXPECT_EQ(22050, soundMixer()->OutputRate());
    // 44100 stereo, three stereo rates, then 32000 mono refused and 22050 mono taken.
    EXPECT_EQ(6u, platform::manualWaveOutOpenAttempts());
}

TEST_F(MediaManager, FailedStartIsRememberedAndRetriedAfterAWhile)
{
    platform::DeviceProfile::current().clock = platform::ClockMode::Fake;
    platform::FakeClock::freeze(100000);
    platform::ManualWaveOutConfig refuse;
    refuse.refuseAllFormats = true;
    configure(refuse);
    // The unknown fall-back rates (-1) are refused before any device is asked.
    startSound();
    EXPECT_FALSE(soundStarted());
    EXPECT_EQ(nullptr, soundMixer());
    EXPECT_EQ(1u, platform::manualWaveOutOpenAttempts());
    // Media calls in the meantime do not try again, and players simply get no channel.
    DPlayerPtr p = createPlayer(streamOf(wavBytes(10)), DStringPtr(u"audio/x-wav"));
    ASSERT_TRUE(p);
    EXPECT_TRUE(p->start().isNull());
    EXPECT_EQ(DPlayer::PREFETCHED, p->getState());
    stopAllChannels();
    platform::FakeClock::step(kSoundRetryMillis - 1);
    startSound();
    EXPECT_EQ(1u, platform::manualWaveOutOpenAttempts());
    // Later, with a device that takes the format, the next call starts the sound.
    configure({});
    platform::FakeClock::step(1);
    ASSERT_TRUE(p->start());
    EXPECT_TRUE(soundStarted());
    EXPECT_EQ(1u, platform::manualWaveOutOpenAttempts());
    platform::DeviceProfile::reset();
}

TEST_F(MediaManager, NoDeviceMeansNoAttempt)
{
    platform::ManualWaveOutConfig none;
    none.deviceCount = 0;
    configure(none);
    startSound();
    EXPECT_FALSE(soundStarted());
    EXPECT_EQ(0u, platform::manualWaveOutOpenAttempts());
    EXPECT_EQ(nullptr, soundMixer());
}

TEST_F(MediaManager, PlayersByContentType)
{
    auto wav = streamOf(wavBytes(10));
    EXPECT_EQ(DPlayer::KIND_WAV, createPlayer(wav, DStringPtr(u"audio/x-wav"))->kind);
    EXPECT_EQ(DPlayer::KIND_MOD, createPlayer(wav, DStringPtr(u"audio/mod"))->kind);
    EXPECT_TRUE(createPlayer(wav, DStringPtr(u"audio/X-WAV")).isNull());
    EXPECT_TRUE(createPlayer(wav, DStringPtr(u"audio/midi")).isNull());
    EXPECT_THROWS_CODE(ExceptionCode::IllegalArgumentException,
                       createPlayer(nullptr, DStringPtr(u"audio/mod")));
    EXPECT_THROWS_CODE(ExceptionCode::MediaException, createPlayer(wav, nullptr));
    EXPECT_TRUE(soundStarted());
}

TEST_F(MediaManager, MixerWideStopPauseResumeAndVolumes)
{
    DPlayerPtr looping = createPlayer(streamOf(wavBytes(44100)), DStringPtr(u"audio/x-wav"));
    looping->setLoopCount(-1);
    ASSERT_TRUE(looping->start());
    DPlayerPtr shortOne = createPlayer(streamOf(wavBytes(10)), DStringPtr(u"audio/x-wav"));
    ASSERT_TRUE(shortOne->start());
    DPlayerPtr song = createPlayer(streamOf(modBytes()), DStringPtr(u"audio/mod"));
    ASSERT_TRUE(song->start());
    mixOneBuffer(); // the short sound ends
    sndSpeaker* m = soundMixer();
    sndChannel* loopCh = m->GetChannel(looping->channel);
    sndChannel* shortCh = m->GetChannel(shortOne->channel);
    sndChannel* songCh = m->GetChannel(song->channel);
    ASSERT_EQ(1, shortCh->stopped.load());

    pauseAllChannels();
    EXPECT_EQ(1, loopCh->paused.load());
    EXPECT_EQ(1, songCh->paused.load());
    EXPECT_EQ(0, shortCh->paused.load()); // a finished channel stays free
    resumeAllChannels();
    EXPECT_EQ(0, loopCh->paused.load());
    EXPECT_EQ(0, songCh->paused.load());
    EXPECT_EQ(0, shortCh->paused.load());
    EXPECT_EQ(1, shortCh->stopped.load());

    setSfxVolume(16);
    EXPECT_EQ(16, m->MasterSoundVolume());
    EXPECT_EQ(64 * 16 >> 6, static_cast<sndSoundChannel*>(loopCh)->effectiveVolume.load());
    setSfxVolume(100);
    EXPECT_EQ(64, getSfxVolume());
    setSfxVolume(-1);
    EXPECT_EQ(64, getSfxVolume());
    setMusicVolume(8);
    EXPECT_EQ(8, getMusicVolume());
    EXPECT_EQ(64 * 8 >> 6, static_cast<sndMusicChannel*>(songCh)->effectiveSongVolume.load());

    stopAllChannels();
    EXPECT_EQ(1, loopCh->stopped.load());
    EXPECT_EQ(1, songCh->stopped.load());
    // The players find out at their next look.
    EXPECT_EQ(DPlayer::STARTED, looping->getState());
    EXPECT_FALSE(looping->isPlaying());
    EXPECT_FALSE(song->isPlaying());
}

TEST_F(MediaManager, ShutdownStopsEverythingAndPlayersCarryOnWithoutSound)
{
    DPlayerPtr p = createPlayer(streamOf(wavBytes(44100)), DStringPtr(u"audio/x-wav"));
    ASSERT_TRUE(p->start());
    shutdownSound();
    EXPECT_EQ(nullptr, soundMixer());
    EXPECT_EQ(nullptr, platform::manualWaveOutDevice());
    EXPECT_TRUE(playerTable().isNull());
    // The player notices at its next look and gets no channel any more.
    EXPECT_FALSE(p->isPlaying());
    EXPECT_EQ(DPlayer::PREFETCHED, p->getState());
    EXPECT_TRUE(p->start().isNull());
    EXPECT_EQ(-1, p->getVolume());
    startSound(); // no start after the shutdown
    EXPECT_EQ(nullptr, soundMixer());
}

// Player state machines on the manual audio device: start, stop, restart, loop counts, media
// time, channels finished or taken by another player.
#include "CoreTestSupport.h"
#include "MediaTestSupport.h"

#include "lang/DExceptionBase.h"
#include "microedition/media/DPlayerSource.h"

using namespace qev::lang;
using namespace qev::microedition::media;
using namespace mediatest;

namespace {

using MediaPlayer = MediaFixture;

DPlayerPtr wavPlayer(int frames = 44100)
{
    return createPlayer(streamOf(wavBytes(frames)), DStringPtr(u"audio/x-wav"));
}

// A stream whose reading fails with an IOException.
struct FailingStream : qev::io::DInputStream
{
    int32_t available() override { return 64; }
    using DInputStream::read;
    int32_t read(DbyteArrayPtr, int32_t, int32_t) override
    {
        throwException(ExceptionCode::IOException);
    }
    int32_t read() override { throwException(ExceptionCode::IOException); }
};

sndSoundChannel* soundChannel(const DPlayerPtr& p)
{
    return dynamic_cast<sndSoundChannel*>(soundMixer()->GetChannel(p->channel));
}

} // namespace

TEST_F(MediaPlayer, StatesFromCreationToCloseAndTheChannelClaim)
{
    DPlayerPtr p = wavPlayer();
    ASSERT_TRUE(p);
    EXPECT_EQ(DPlayer::UNREALIZED, p->getState());
    EXPECT_EQ(DPlayer::KIND_WAV, p->kind);
    EXPECT_TRUE(p->getContentType()->equals(u"audio/x-wav"));
    EXPECT_EQ(-1, p->getDuration());
    EXPECT_EQ(-1, p->getVolume()); // no channel yet
    p->prefetch();
    EXPECT_EQ(DPlayer::PREFETCHED, p->getState());
    EXPECT_TRUE(p->stream.isNull());
    EXPECT_EQ(p.get(), p->start().get());
    EXPECT_EQ(DPlayer::STARTED, p->getState());
    // Sound channels follow the 16 music channels.
    EXPECT_GE(p->channel, 16);
    EXPECT_EQ(p.get(), (*playerTable())[p->channel].get());
    EXPECT_TRUE(p->isPlaying());
    EXPECT_EQ(0, p->getMediaTime());

    // Closing leaves the sound to play to its end; the closed player cannot start again.
    const int channel = p->channel;
    p->close();
    EXPECT_EQ(DPlayer::CLOSED, p->getState());
    EXPECT_EQ(0, soundMixer()->GetChannel(channel)->stopped.load());
    EXPECT_THROWS_CODE(ExceptionCode::IllegalStateException, p->start());
    EXPECT_THROWS_CODE(ExceptionCode::IllegalStateException, p->realize());
    EXPECT_THROWS_CODE(ExceptionCode::IllegalStateException, p->prefetch());
}

TEST_F(MediaPlayer, DamagedDataKeepsThePlayerUnrealized)
{
    auto bytes = wavBytes(100);
    bytes.resize(bytes.size() - 50); // the data chunk claims more than there is
    DPlayerPtr p = createPlayer(streamOf(bytes), DStringPtr(u"audio/x-wav"));
    EXPECT_THROWS_CODE(ExceptionCode::MediaException, p->realize());
    EXPECT_EQ(DPlayer::UNREALIZED, p->getState());
    EXPECT_FALSE(p->stream.isNull());
    EXPECT_THROWS_CODE(ExceptionCode::MediaException, p->start());
    DPlayerPtr m = createPlayer(streamOf({1, 2, 3}), DStringPtr(u"audio/mod"));
    EXPECT_THROWS_CODE(ExceptionCode::MediaException, m->prefetch());
    // A read that throws is a failed load too, not an escaping IOException.
    DPlayerPtr f = createPlayer(new FailingStream, DStringPtr(u"audio/x-wav"));
    EXPECT_THROWS_CODE(ExceptionCode::MediaException, f->realize());
    EXPECT_EQ(DPlayer::UNREALIZED, f->getState());
}

TEST_F(MediaPlayer, StartingAPlayingSoundPlaysACopyOnAnotherChannel)
{
    DPlayerPtr p = wavPlayer();
    p->setLoopCount(-1);
    ASSERT_TRUE(p->start());
    DPlayerPtr copy = p->start();
    ASSERT_TRUE(copy);
    EXPECT_NE(p.get(), copy.get());
    EXPECT_NE(p->channel, copy->channel);
    EXPECT_EQ(p->source.get(), copy->source.get());
    EXPECT_EQ(-1, copy->loopCount);
    EXPECT_EQ(1, soundChannel(copy)->loop.load());
    EXPECT_TRUE(p->isPlaying());
    EXPECT_TRUE(copy->isPlaying());
    // The table keeps the copy alive without the caller's reference.
    DPlayer* raw = copy.get();
    const int channel = copy->channel;
    copy = nullptr;
    EXPECT_EQ(raw, (*playerTable())[channel].get());
}

TEST_F(MediaPlayer, StopResumesWhereItStoppedAndRewindGivesUpTheChannel)
{
    DPlayerPtr p = wavPlayer();
    ASSERT_TRUE(p->start());
    const int channel = p->channel;
    sndSoundChannel* c = soundChannel(p);
    mixOneBuffer();
    const int position = static_cast<int>(p->getMediaTime());
    EXPECT_GT(position, 0);
    p->stop();
    EXPECT_EQ(DPlayer::PREFETCHED, p->getState());
    EXPECT_EQ(1, c->paused.load());
    EXPECT_EQ(channel, p->channel);
    EXPECT_EQ(-1, p->getMediaTime()); // not playing
    mixOneBuffer();
    ASSERT_TRUE(p->start());
    EXPECT_EQ(channel, p->channel);
    EXPECT_EQ(0, c->paused.load());
    EXPECT_EQ(position, p->getMediaTime());
    EXPECT_EQ(0, p->setMediaTime(0)); // playing: back to the start
    EXPECT_EQ(0, p->getMediaTime());
    EXPECT_EQ(-1, p->setMediaTime(5));
    EXPECT_EQ(-1, p->setMediaTime(-3));

    // Stopped and rewound: the channel is freed and the claim given up.
    p->stop();
    EXPECT_EQ(0, p->setMediaTime(0));
    EXPECT_EQ(-1, p->channel);
    EXPECT_EQ(1, c->stopped.load());
    EXPECT_EQ(0, c->paused.load());
    EXPECT_TRUE((*playerTable())[channel].isNull());
    EXPECT_EQ(-1, p->setMediaTime(0)); // neither playing nor holding a channel
    ASSERT_TRUE(p->start());
    EXPECT_EQ(0, p->getMediaTime());
}

TEST_F(MediaPlayer, FinishedSoundIsNoticedOnlyWhenAsked)
{
    DPlayerPtr p = wavPlayer(100); // ends within the first mixed buffer
    ASSERT_TRUE(p->start());
    const int channel = p->channel;
    mixOneBuffer();
    EXPECT_EQ(1, soundMixer()->GetChannel(channel)->stopped.load());
    EXPECT_EQ(DPlayer::STARTED, p->getState());
    EXPECT_FALSE(p->isPlaying());
    EXPECT_EQ(DPlayer::PREFETCHED, p->getState());
    EXPECT_EQ(-1, p->channel);
    EXPECT_TRUE((*playerTable())[channel].isNull());
    // A looping sound plays on.
    p->setLoopCount(-1);
    ASSERT_TRUE(p->start());
    mixOneBuffer();
    mixOneBuffer();
    EXPECT_TRUE(p->isPlaying());
    // Looping switched off while it plays takes effect at once.
    p->setLoopCount(1);
    EXPECT_EQ(0, soundChannel(p)->loop.load());
    EXPECT_THROWS_CODE(ExceptionCode::IllegalArgumentException, p->setLoopCount(0));
    EXPECT_THROWS_CODE(ExceptionCode::IllegalArgumentException, p->setLoopCount(2));
}

TEST_F(MediaPlayer, ChannelTakenOrPausedBySomeoneElseEndsTheClaim)
{
    DPlayerPtr a = wavPlayer();
    ASSERT_TRUE(a->start());
    const int channel = a->channel;
    // Every channel stopped: the next player gets the same channel.
    stopAllChannels();
    DPlayerPtr b = wavPlayer();
    ASSERT_TRUE(b->start());
    ASSERT_EQ(channel, b->channel);
    EXPECT_FALSE(a->isPlaying());
    EXPECT_EQ(DPlayer::PREFETCHED, a->getState());
    EXPECT_EQ(-1, a->channel);
    EXPECT_EQ(b.get(), (*playerTable())[channel].get());
    // Paused by the mixer-wide pause: the player lets the channel go.
    pauseAllChannels();
    EXPECT_FALSE(b->isPlaying());
    EXPECT_TRUE((*playerTable())[channel].isNull());
    // A channel index outside the table is an error of the player.
    ASSERT_TRUE(a->start());
    a->channel = 1000;
    EXPECT_THROWS_CODE(ExceptionCode::ArrayIndexOutOfBoundsException, a->isPlaying());
    a->channel = channel;
}

TEST_F(MediaPlayer, StoppedPlayerLeavesAChannelTakenSinceAlone)
{
    DPlayerPtr a = wavPlayer();
    ASSERT_TRUE(a->start());
    a->stop();
    const int channel = a->channel;
    stopAllChannels();
    DPlayerPtr b = wavPlayer();
    b->setLoopCount(-1);
    ASSERT_TRUE(b->start());
    ASSERT_EQ(channel, b->channel);
    sndSoundChannel* c = soundChannel(b);
    // The stopped player's settings and rewind no longer reach the channel it had.
    a->setVolume(5);
    a->setPan(-128);
    EXPECT_EQ(64, c->volume.load());
    EXPECT_EQ(128, c->pan.load());
    EXPECT_EQ(-1, a->setMediaTime(0));
    EXPECT_EQ(0, c->stopped.load());
    EXPECT_EQ(b.get(), (*playerTable())[channel].get());
    // Started again, it claims a channel of its own and leaves the other's loop alone.
    ASSERT_TRUE(a->start());
    EXPECT_NE(channel, a->channel);
    EXPECT_EQ(1, c->loop.load());
    EXPECT_TRUE(b->isPlaying());
}

TEST_F(MediaPlayer, NoFreeChannelGivesNullAndPrefetched)
{
    DPlayerPtr p = wavPlayer();
    p->setLoopCount(-1);
    int started = 0;
    while (p->start())
        ++started;
    EXPECT_EQ(soundMixer()->SoundChannelCount(), started);
    DPlayerPtr late = wavPlayer();
    EXPECT_TRUE(late->start().isNull());
    EXPECT_EQ(DPlayer::PREFETCHED, late->getState());
    EXPECT_EQ(-1, late->getVolume());
}

TEST_F(MediaPlayer, VolumeAndPanGoToTheChannel)
{
    DPlayerPtr p = wavPlayer();
    EXPECT_EQ(0, p->getPan());
    ASSERT_TRUE(p->start());
    sndSoundChannel* c = soundChannel(p);
    EXPECT_EQ(64, p->getVolume());
    p->setVolume(40);
    EXPECT_EQ(40, p->getVolume());
    EXPECT_EQ(40 * getSfxVolume() >> 6, c->effectiveVolume.load());
    p->setVolume(100);
    EXPECT_EQ(64, p->getVolume());
    struct
    {
        int pan, channelPan;
    } cases[] = {{-200, 0}, {-128, 0}, {0, 128}, {127, 255}, {500, 255}, {-1, 127}};
    for (const auto& k : cases) {
        p->setPan(k.pan);
        EXPECT_EQ(k.channelPan, c->pan.load()) << k.pan;
        EXPECT_EQ(k.channelPan - 128, p->getPan());
    }
    // A stopped player keeps its channel, so its volume can still be read and set.
    p->stop();
    p->setVolume(10);
    EXPECT_EQ(10, p->getVolume());
}

TEST_F(MediaPlayer, ModPlayerPlaysOnAMusicChannel)
{
    DPlayerPtr m = createPlayer(streamOf(modBytes()), DStringPtr(u"audio/mod"));
    ASSERT_TRUE(m);
    EXPECT_EQ(DPlayer::KIND_MOD, m->kind);
    EXPECT_TRUE(m->getContentType()->equals(u"audio/mod"));
    m->setLoopCount(-1);
    ASSERT_TRUE(m->start());
    EXPECT_LT(m->channel, 16);
    auto* c = dynamic_cast<sndMusicChannel*>(soundMixer()->GetChannel(m->channel));
    ASSERT_NE(nullptr, c);
    EXPECT_EQ(1, c->loop.load());
    m->setPan(-100);
    EXPECT_EQ(0, m->getPan());
    EXPECT_EQ(64, m->getVolume());
    m->setVolume(20);
    EXPECT_EQ(20, c->songVolume.load());
    mixOneBuffer(); // 30 ms: row 0 has been read
    EXPECT_EQ(1, m->getMediaTime());
    EXPECT_EQ(-1, m->setMediaTime(1));
    EXPECT_EQ(0, m->setMediaTime(-3)); // taken as 0: back to the top
    EXPECT_EQ(0, m->getMediaTime());
    // A copy of a playing song takes the next music channel.
    DPlayerPtr second = m->start();
    ASSERT_TRUE(second);
    EXPECT_NE(m->channel, second->channel);
}

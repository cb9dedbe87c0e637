#include "SoundData.h"

#include "sound/sndSound.h"
#include "sound/sndSpeaker.h"

#include <gtest/gtest.h>

using namespace soundtest;

namespace {

std::vector<uint8_t> pcm16(std::initializer_list<int16_t> values)
{
    std::vector<uint8_t> v;
    for (int16_t x : values)
        put16(v, static_cast<uint16_t>(x));
    return v;
}

// A speaker without output device: the test calls Mix itself.
struct OpenSpeaker : sndSpeaker
{
    explicit OpenSpeaker(int bits = 16, int stereo = 1, int rate = 44100)
    {
        EXPECT_EQ(0, OpenWith(nullptr, rate, bits, stereo, 4, 8));
    }
};

} // namespace

TEST(Mixer, ChannelCountsAreLimitedAndNumberedGlobally)
{
    sndSpeaker s;
    ASSERT_EQ(0, s.OpenWith(nullptr, 44100, 16, 1, 0, 200));
    EXPECT_EQ(1, s.MusicChannelCount());
    EXPECT_EQ(128, s.SoundChannelCount());
    EXPECT_EQ(-2, s.OpenWith(nullptr, 44100, 16, 1, 0, 0));
    EXPECT_EQ(s.MusicChannel(0), s.GetChannel(0));
    EXPECT_EQ(s.SoundChannel(0), s.GetChannel(1));
    EXPECT_EQ(nullptr, s.GetChannel(129));
    EXPECT_EQ(nullptr, s.GetChannel(-1));
    s.Close();
    EXPECT_EQ(0, s.SoundChannelCount());
    sndSound snd;
    auto w = wav(1, 1, 8000, 8, {1});
    ASSERT_EQ(0, snd.Load(w.data(), w.size()));
    EXPECT_EQ(-1000, s.PlaySound(snd));
}

TEST(Mixer, SumsVolumesAndPansExactly)
{
    OpenSpeaker sp;
    sndSound snd;
    auto w = wav(1, 1, 44100, 16, pcm16({1000, -2000, 3000, 0}));
    ASSERT_EQ(0, snd.Load(w.data(), w.size()));
    int ch = sp.PlaySound(snd);
    EXPECT_EQ(4, ch); // after the 4 music channels
    int16_t out[8];
    sp.Mix(out, sizeof out);
    // Centre pan: t x 64 >> 7 on both sides.
    EXPECT_EQ(500, out[0]);
    EXPECT_EQ(500, out[1]);
    EXPECT_EQ(-1000, out[2]);
    EXPECT_EQ(1500, out[4]);
    EXPECT_EQ(0, out[6]);

    // Pan 0: all to the left at double weight; volume 32 halves.
    snd.pan = 0;
    snd.volume = 32;
    ch = sp.PlaySound(snd);
    sp.Mix(out, sizeof out);
    EXPECT_EQ(1000 * 64 >> 7, out[0]);
    EXPECT_EQ(0, out[1]);
    // Pan 192 with volume 32: d = 64, w = 48.
    snd.pan = 192;
    sp.PlaySound(snd);
    sp.Mix(out, sizeof out);
    EXPECT_EQ(1000 * 16 >> 7, out[0]);
    EXPECT_EQ(1000 * 48 >> 7, out[1]);
    // A stereo sound on pan 128 keeps its two sides.
    sndSound st;
    auto sw = wav(1, 2, 44100, 16, pcm16({1280, -1280}));
    ASSERT_EQ(0, st.Load(sw.data(), sw.size()));
    sp.PlaySound(st);
    sp.Mix(out, 4);
    EXPECT_EQ(640, out[0]);
    EXPECT_EQ(-640, out[1]);
}

TEST(Mixer, RateStepAndEndOfSound)
{
    OpenSpeaker sp;
    sndSound snd;
    auto w = wav(1, 1, 22050, 8, {0x80 + 10, 0x80 + 20});
    ASSERT_EQ(0, snd.Load(w.data(), w.size()));
    int ch = sp.PlaySound(snd);
    auto* c = static_cast<sndSoundChannel*>(sp.GetChannel(ch));
    int16_t out[12];
    sp.Mix(out, sizeof out);
    EXPECT_EQ(128u, c->step); // half a frame per output sample
    // (10 << 8) x 64 >> 7 = 1280, each source frame twice, then silence and a free channel.
    EXPECT_EQ(1280, out[0]);
    EXPECT_EQ(1280, out[2]);
    EXPECT_EQ(2560, out[4]);
    EXPECT_EQ(2560, out[6]);
    EXPECT_EQ(0, out[8]);
    EXPECT_EQ(1, c->stopped.load());
    // A looping sound wraps instead.
    snd.loop = 1;
    ch = sp.PlaySound(snd);
    sp.Mix(out, sizeof out);
    EXPECT_EQ(1280, out[8]);
    EXPECT_EQ(0, sp.GetChannel(ch)->stopped.load());
}

TEST(Mixer, ClipsInsteadOfWrapping)
{
    OpenSpeaker sp16;
    sndSound loud;
    auto w = wav(1, 1, 44100, 16, pcm16({32767, -32768}));
    ASSERT_EQ(0, loud.Load(w.data(), w.size()));
    loud.pan = 0;
    for (int i = 0; i < 3; ++i)
        sp16.PlaySound(loud);
    int16_t out[4];
    sp16.Mix(out, sizeof out);
    EXPECT_EQ(32767, out[0]);
    EXPECT_EQ(-32768, out[2]);

    OpenSpeaker sp8(8, 0);
    for (int i = 0; i < 3; ++i)
        sp8.PlaySound(loud);
    uint8_t b[2];
    sp8.Mix(b, 2);
    EXPECT_EQ(255, b[0]);
    EXPECT_EQ(0, b[1]);
    // Once the sound has ended an 8-bit buffer is silence: 0x80 throughout.
    uint8_t silent[10];
    sp8.Mix(silent, 1);
    sp8.Mix(silent, sizeof silent - 2);
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(0x80, silent[i]);
}

TEST(Mixer, InstanceLimitRefusesThirdCopy)
{
    OpenSpeaker sp;
    sndSound snd;
    auto w = wav(1, 1, 44100, 16, pcm16({1, 2, 3}));
    ASSERT_EQ(0, snd.Load(w.data(), w.size()));
    snd.instanceLimit = 2;
    int a = sp.PlaySound(snd);
    int b = sp.PlaySound(snd);
    EXPECT_GE(a, 4);
    EXPECT_GE(b, 4);
    EXPECT_NE(a, b);
    EXPECT_EQ(-1000, sp.PlaySound(snd));
    // The limited scan takes the last free channel.
    EXPECT_EQ(4 + 7, a);
}

TEST(Mixer, ChannelSettersClampAndScalePositions)
{
    OpenSpeaker sp;
    sndSound snd;
    auto w = wav(1, 1, 44100, 16, pcm16({1, 2, 3, 4}));
    ASSERT_EQ(0, snd.Load(w.data(), w.size()));
    auto* c = static_cast<sndSoundChannel*>(sp.GetChannel(sp.PlaySound(snd)));
    c->setVolume(100);
    EXPECT_EQ(64, c->volume.load());
    sp.SetMasterVolumes(64, 32);
    c->setVolume(64);
    EXPECT_EQ(32, c->effectiveVolume.load());
    c->setPan(300);
    EXPECT_EQ(255, c->pan.load());
    // 16-bit mono: shift 9.
    EXPECT_EQ(4 << 8 >> 9, c->getLength());
    c->setPosition(1);
    EXPECT_EQ(512u, c->position);
}

TEST(Mixer, StereoSoundsOffCentreMonoOutputAndEightBitOutput)
{
    // A stereo sound at pan 64, volume 48: d = 96, w = 96 x 64 >> 8 = 24, both of its sides go
    // through the pan: left (1000 - 600) x 72 >> 7 = 225, right (1000 - 600) x 24 >> 7 = 75.
    sndSound st;
    auto sw = wav(1, 2, 44100, 16, pcm16({1000, -600}));
    ASSERT_EQ(0, st.Load(sw.data(), sw.size()));
    st.pan = 64;
    st.volume = 48;
    {
        OpenSpeaker sp;
        sp.PlaySound(st);
        int16_t out[2];
        sp.Mix(out, sizeof out);
        EXPECT_EQ(225, out[0]);
        EXPECT_EQ(75, out[1]);
    }
    {
        // Mono output adds both sides at the channel volume: (1000 - 600) x 48 >> 7 = 150.
        OpenSpeaker mono(16, 0);
        mono.PlaySound(st);
        int16_t out[1];
        mono.Mix(out, sizeof out);
        EXPECT_EQ(150, out[0]);
    }
    {
        // 8-bit stereo data (4 and -2 around 128) on 8-bit stereo output: left 1024 x 64 >> 7
        // = 512 -> 130, right -512 x 64 >> 7 = -256 -> -1 + 128 = 127.
        sndSound b;
        auto bw = wav(1, 2, 44100, 8, {0x80 + 4, 0x80 - 2});
        ASSERT_EQ(0, b.Load(bw.data(), bw.size()));
        OpenSpeaker sp8(8, 1);
        sp8.PlaySound(b);
        uint8_t out[2];
        sp8.Mix(out, sizeof out);
        EXPECT_EQ(130, out[0]);
        EXPECT_EQ(127, out[1]);
    }
    {
        // The shift by 7 rounds towards minus infinity: -3 x 64 = -192 gives -2, not -1.
        sndSound q;
        auto qw = wav(1, 1, 44100, 16, pcm16({-3}));
        ASSERT_EQ(0, q.Load(qw.data(), qw.size()));
        OpenSpeaker sp;
        sp.PlaySound(q);
        int16_t out[2];
        sp.Mix(out, sizeof out);
        EXPECT_EQ(-2, out[0]);
        EXPECT_EQ(-2, out[1]);
    }
}

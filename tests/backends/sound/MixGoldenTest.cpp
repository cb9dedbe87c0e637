// A busy scene (32 sound channels of every data format, 16 songs full of effects) mixed for a few
// seconds in every output format, buffer by buffer, with the game thread changing volumes, pans,
// positions and rates in between. The output's hash, every quarter second, must stay what the
// straightforward sample-by-sample mixer produced: any faster mixer has to give the same bytes,
// and a failure names the first quarter second that differs.
#include "SoundData.h"

#include "sound/sndMusic.h"
#include "sound/sndSound.h"
#include "sound/sndSpeaker.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>

using namespace soundtest;

namespace {

// A fixed generator, so the scene is the same on every compiler and library.
struct Lcg
{
    uint32_t state;
    uint32_t next()
    {
        state = state * 1664525u + 1013904223u;
        return state >> 8;
    }
    int below(int n) { return static_cast<int>(next() % static_cast<uint32_t>(n)); }
};

std::vector<uint8_t> soundWav(Lcg& rng, int bits, int channels, uint32_t rate, int frames)
{
    std::vector<uint8_t> data;
    const double f = 0.01 + rng.below(100) / 700.0;
    for (int i = 0; i < frames; ++i)
        for (int c = 0; c < channels; ++c) {
            // Loud enough that the busy scene clips now and then.
            int v = static_cast<int>(30000 * std::sin(i * f * (c + 1))) + rng.below(2001) - 1000;
            v = v < -32768 ? -32768 : (v > 32767 ? 32767 : v);
            if (bits == 8)
                data.push_back(static_cast<uint8_t>((v >> 8) + 128));
            else
                put16(data, static_cast<uint16_t>(v));
        }
    return wav(1, static_cast<uint16_t>(channels), rate, static_cast<uint16_t>(bits), data);
}

ModSample modSample(Lcg& rng, int k)
{
    ModSample s;
    if (k % 7 == 6)
        return s; // empty: notes naming it play nothing
    const int words = 16 + rng.below(1500);
    s.data.resize(static_cast<size_t>(words) * 2);
    const double f = 0.05 + rng.below(100) / 200.0;
    for (size_t i = 0; i < s.data.size(); ++i)
        s.data[i] =
            static_cast<int8_t>(120 * std::sin(i * f)) + static_cast<int8_t>(rng.below(7) - 3);
    s.volume = rng.below(65);
    s.finetune = rng.below(16);
    switch (k % 4) {
    case 0: // no loop: the sample ends
        break;
    case 1: // loops over its end half
        s.loopStartWords = words / 2;
        s.loopLengthWords = words - words / 2;
        break;
    case 2: // a loop reaching past the end
        s.loopStartWords = words / 3;
        s.loopLengthWords = words;
        break;
    default: // a one-word loop, which is no loop
        s.loopStartWords = 0;
        s.loopLengthWords = 1;
        break;
    }
    return s;
}

int randomEffect(Lcg& rng, int& param)
{
    static const int effects[] = {0,  0,  1,  2,  3,  4,  5,  6,  9, 10,
                                  10, 12, 12, 14, 14, 15, 13, 11, 7, 8};
    const int e = effects[rng.below(20)];
    param = rng.below(256);
    switch (e) {
    case 11: // jump back (or to the end) rarely
        param = rng.below(3);
        break;
    case 13:
        param = rng.below(0x70);
        break;
    case 14: {
        static const int sub[] = {0x6, 0xA, 0xB, 0xC, 0xD, 0xE, 0x1};
        const int x = sub[rng.below(7)];
        param = (x << 4) | rng.below(x == 0xE ? 3 : 8);
        break;
    }
    case 15: // mostly speeds, sometimes a tempo
        param = rng.below(4) == 0 ? 100 + rng.below(100) : 2 + rng.below(6);
        break;
    default:
        break;
    }
    return e;
}

std::vector<uint8_t> busySong(Lcg& rng, int tracks, const char* signature)
{
    std::vector<ModSample> samples;
    for (int k = 0; k < 31; ++k)
        samples.push_back(modSample(rng, k));
    const int patterns = 3;
    Mod mod(tracks, {0, 1, 2, 1, 0}, patterns, samples, signature, rng.below(2) ? 127 : 1);
    static const int periods[] = {1712, 856, 808, 762, 720, 678, 640, 604, 570,  538,
                                  508,  480, 453, 428, 381, 339, 320, 285, 254,  226,
                                  214,  190, 160, 113, 57,  28,  500, 333, 1000, 14};
    for (int p = 0; p < patterns; ++p)
        for (int r = 0; r < 64; ++r)
            for (int t = 0; t < tracks; ++t) {
                const int sample = rng.below(3) == 0 ? 0 : 1 + rng.below(31);
                const int period = rng.below(3) == 0 ? 0 : periods[rng.below(30)];
                int param = 0;
                const int effect = rng.below(3) == 0 ? 0 : randomEffect(rng, param);
                mod.cell(p, r, t, sample, period, effect, effect == 0 && rng.below(2) ? 0 : param);
            }
    return mod.bytes;
}

uint64_t fnv(uint64_t h, const uint8_t* p, size_t n)
{
    for (size_t i = 0; i < n; ++i)
        h = (h ^ p[i]) * 1099511628211ull;
    return h;
}

// The output as one stream of bytes, hashed in blocks of a quarter second (the last one may be
// shorter), so that a difference is found to within a quarter second.
class BlockHashes
{
  public:
    explicit BlockHashes(size_t blockBytes) : m_blockBytes(blockBytes) {}

    void add(const uint8_t* p, size_t n)
    {
        while (n > 0) {
            const size_t take = std::min(n, m_blockBytes - m_filled);
            m_hash = fnv(m_hash, p, take);
            m_filled += take;
            p += take;
            n -= take;
            if (m_filled == m_blockBytes)
                close();
        }
    }

    std::vector<uint32_t> finish()
    {
        if (m_filled > 0)
            close();
        return m_blocks;
    }

  private:
    void close()
    {
        m_blocks.push_back(static_cast<uint32_t>(m_hash ^ (m_hash >> 32)));
        m_hash = kFnvStart;
        m_filled = 0;
    }

    static constexpr uint64_t kFnvStart = 14695981039346656037ull;
    size_t m_blockBytes;
    size_t m_filled = 0;
    uint64_t m_hash = kFnvStart;
    std::vector<uint32_t> m_blocks;
};

// Plays the scene on a speaker without output device and returns the block hashes of `seconds`
// of output.
std::vector<uint32_t> mixScene(int rate, int bits, int stereo, int seconds)
{
    sndSpeaker speaker;
    EXPECT_EQ(0, speaker.OpenWith(nullptr, rate, bits, stereo, 16, 32));
    Lcg rng{12345};

    std::vector<std::unique_ptr<sndSound>> sounds;
    const uint32_t rates[] = {8000, 11025, 22050, 44100, 48000, 32000, 16000, 22050};
    for (int i = 0; i < 8; ++i) {
        auto w =
            soundWav(rng, i % 2 ? 16 : 8, (i / 2) % 2 ? 2 : 1, rates[i], 2000 + rng.below(30000));
        sounds.push_back(std::make_unique<sndSound>());
        EXPECT_EQ(0, sounds.back()->Load(w.data(), w.size()));
    }
    std::vector<std::unique_ptr<sndMusic>> songs;
    const char* signatures[] = {"M.K.", "6CHN", "8CHN", "16CH"};
    const int trackCounts[] = {4, 6, 8, 16};
    for (int i = 0; i < 4; ++i) {
        auto m = busySong(rng, trackCounts[i], signatures[i]);
        songs.push_back(std::make_unique<sndMusic>());
        EXPECT_EQ(0, songs.back()->Load(m.data(), m.size()));
    }

    const size_t valueBytes = bits == 16 ? 2 : 1;
    BlockHashes hashes(static_cast<size_t>(rate) * valueBytes * (stereo ? 2 : 1) / 4);
    std::vector<uint8_t> buffer;
    auto mix = [&](uint32_t bytes) {
        buffer.assign(bytes, 0x5A); // a byte the mixer leaves alone shows in the hash
        speaker.Mix(buffer.data(), bytes);
        hashes.add(buffer.data(), bytes);
    };
    mix(64); // nothing playing yet: silence

    auto playSound = [&](int i) {
        sndSound& s = *sounds[i % 8];
        s.volume = rng.below(80);
        s.pan = rng.below(4) == 0 ? 128 : rng.below(300);
        s.loop = rng.below(4) != 0;
        s.playbackRate = rng.below(3) == 0 ? s.rate * (50 + rng.below(150)) / 100 : s.rate;
        return speaker.PlaySound(s);
    };
    for (int i = 0; i < 32; ++i)
        playSound(i);
    for (int i = 0; i < 16; ++i) {
        sndMusic& m = *songs[i % 4];
        m.volume = 20 + rng.below(50);
        m.separation = rng.below(256);
        m.loop = i % 3 != 0;
        EXPECT_GE(speaker.PlayMusic(m), 0);
    }

    const uint32_t frameBytes = static_cast<uint32_t>(valueBytes) * (stereo ? 2 : 1);
    uint32_t mixed = 0;
    const uint32_t total = static_cast<uint32_t>(rate) * seconds;
    while (mixed < total) {
        // Buffers of the driver's size and odd ones, cut anywhere.
        uint32_t frames = rng.below(4) == 0 ? 1 + rng.below(700) : 1324;
        uint32_t bytes = frames * frameBytes + (rng.below(8) == 0 ? 1 : 0);
        mix(bytes);
        mixed += frames;
        // What the game thread does between buffers.
        const int what = rng.below(10);
        sndChannel* ch = speaker.GetChannel(rng.below(48));
        if (what == 0) {
            ch->setVolume(rng.below(70));
        } else if (what == 1) {
            ch->setPan(rng.below(260));
        } else if (what == 2) {
            ch->setPosition(rng.below(2000));
        } else if (what == 3) {
            playSound(rng.below(8));
        } else if (what == 4) {
            sndSoundChannel* s = speaker.SoundChannel(rng.below(32));
            s->playbackRate = 4000 + rng.below(60000);
            s->rateChanged = 1;
        } else if (what == 5) {
            sndChannel* c = speaker.GetChannel(rng.below(48));
            c->paused = !c->paused;
        } else if (what == 6 && rng.below(3) == 0) {
            sndChannel* c = speaker.GetChannel(rng.below(48));
            c->stopped = 1;
            c->paused = 0;
        } else if (what == 7) {
            speaker.SetMasterVolumes(rng.below(65), rng.below(65));
        }
    }
    // The scene stays busy to the end: most channels still play.
    int musicPlaying = 0, soundPlaying = 0;
    for (int i = 0; i < 16; ++i)
        musicPlaying += speaker.MusicChannel(i)->isActive();
    for (int i = 0; i < 32; ++i)
        soundPlaying += speaker.SoundChannel(i)->isActive();
    EXPECT_GE(musicPlaying, 4);
    EXPECT_GE(soundPlaying, 16);
    return hashes.finish();
}

// Every block as recorded from the straightforward sample-by-sample mixer; a failure names the
// first quarter second that differs.
void expectBlocks(const std::vector<uint32_t>& expected, const std::vector<uint32_t>& mixed)
{
    EXPECT_EQ(expected.size(), mixed.size()) << "quarter seconds of output";
    for (size_t i = 0; i < std::min(expected.size(), mixed.size()); ++i)
        if (expected[i] != mixed[i]) {
            ADD_FAILURE() << "the output first differs in the quarter second from " << i * 0.25
                          << " s (block " << i << " of " << expected.size() << ")";
            return;
        }
}

} // namespace

TEST(MixGolden, BusySceneStereo16BitIsUnchanged)
{
    expectBlocks({0x5941EEEE, 0x1404B56F, 0x4982E5E1, 0x7BFD27C1, 0xBA95149A, 0x6F945B7A,
                  0xF221CC05, 0xBE223B5E, 0xC5B13CC1, 0x81930290, 0x620F4E4F, 0x66344256,
                  0x3C229297, 0xDA34A509, 0x0198303C, 0x8F960CA6, 0x9398F4B7},
                 mixScene(44100, 16, 1, 4));
}

TEST(MixGolden, BusySceneMono16BitIsUnchanged)
{
    expectBlocks({0xD258DE1D, 0xE549ACBB, 0x21399690, 0xAA91D9AD, 0xE27A8B84, 0xAC5A2B18,
                  0xDA2F4045, 0x47DFAE97, 0x131A6970},
                 mixScene(44100, 16, 0, 2));
}

TEST(MixGolden, BusySceneStereo8BitIsUnchanged)
{
    expectBlocks({0x527C8FA9, 0x216AEE7F, 0xCB8D2764, 0x605757C6, 0x0FABFBC7, 0x55559EF3,
                  0xACD51383, 0x29776933, 0x7B4A6E7E},
                 mixScene(22050, 8, 1, 2));
}

TEST(MixGolden, BusySceneMono8BitAtAnOddRateIsUnchanged)
{
    expectBlocks({0x42D5305C, 0xC2E86318, 0x3114C31B, 0x1C4FF172, 0x9778351B, 0x9487F936,
                  0x4C217010, 0x11BB490E, 0x52BC93F2},
                 mixScene(11025, 8, 0, 2));
}

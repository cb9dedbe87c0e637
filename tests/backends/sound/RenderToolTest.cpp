#include "SoundData.h"

#include "Renderer.h"
#include "sound/sndMusic.h"
#include "sound/sndSound.h"
#include "sound/sndSpeaker.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace soundtest;

namespace {

// Rows of 1 + 6 x 883 frames at the default speed and tempo.
constexpr size_t kRowFrames = 1 + 6 * 883;

Mod oneNoteSong()
{
    ModSample s;
    s.data.assign(32, 50);
    s.loopLengthWords = 16;
    Mod mod(4, {0}, 1, {s});
    mod.cell(0, 0, 0, 1, 428, 0, 0);
    return mod;
}

// The output the plain way: the speaker asked for one frame at a time, the frame in which the
// channel finds its end dropped.
std::vector<uint8_t> frameByFrame(const std::vector<uint8_t>& file, const modrender::Options& o)
{
    sndSpeaker speaker;
    EXPECT_EQ(0, speaker.OpenWith(nullptr, o.rate, o.bits, o.stereo, 1, 8));
    sndSound sound;
    sndMusic music;
    sndChannel* channel = nullptr;
    if (std::memcmp(file.data(), "RIFF", 4) == 0) {
        EXPECT_EQ(0, sound.Load(file.data(), file.size()));
        channel = speaker.GetChannel(speaker.PlaySound(sound));
    } else {
        EXPECT_EQ(0, music.Load(file.data(), file.size()));
        music.separation = o.separation;
        music.loop = modrender::jumpsBack(music) ? 1 : 0;
        channel = speaker.GetChannel(speaker.PlayMusic(music));
    }
    std::vector<uint8_t> pcm;
    if (!channel)
        return pcm;
    const size_t frameBytes = size_t(o.bits / 8 * (o.stereo ? 2 : 1));
    for (uint64_t f = 0; f < uint64_t(o.maxSeconds * o.rate); ++f) {
        const size_t at = pcm.size();
        pcm.resize(at + frameBytes);
        speaker.Mix(pcm.data() + at, uint32_t(frameBytes));
        if (channel->stopped) {
            pcm.resize(at);
            break;
        }
    }
    return pcm;
}

} // namespace

TEST(RenderTool, BlocksGiveTheSameBytesAsOneFrameAtATime)
{
    // A fast song (one tick a row, later three) with a pattern delay and a note cut, and a
    // stereo sound: each to its end and cut by the time limit, in two output formats.
    ModSample s;
    s.data.resize(600);
    for (size_t i = 0; i < s.data.size(); ++i)
        s.data[i] = int8_t(i * 37 % 251 - 125);
    s.loopStartWords = 50;
    s.loopLengthWords = 200;
    Mod fast(4, {0}, 1, {s});
    fast.cell(0, 0, 0, 1, 428, 0x0F, 1);
    fast.cell(0, 0, 1, 1, 214, 0x0C, 40);
    fast.cell(0, 7, 2, 1, 320, 0x0E, 0xE2);
    fast.cell(0, 12, 3, 1, 160, 0x0E, 0xC1);
    fast.cell(0, 20, 0, 1, 500, 0x0F, 3);
    std::vector<uint8_t> sound;
    for (int i = 0; i < 3000; ++i) {
        sound.push_back(uint8_t(i * 7));
        sound.push_back(uint8_t(i * 13 >> 3));
    }
    const std::vector<std::vector<uint8_t>> files{fast.bytes, wav(1, 2, 32000, 16, sound)};
    for (const auto& file : files) {
        for (double seconds : {600.0, 0.05}) {
            for (int bits : {16, 8}) {
                modrender::Options o;
                o.bits = bits;
                o.stereo = bits == 16 ? 1 : 0;
                o.maxSeconds = seconds;
                const auto r = modrender::render(file, o);
                ASSERT_EQ(0, r.code);
                const auto want = frameByFrame(file, o);
                ASSERT_GT(want.size(), 1000u);
                EXPECT_EQ(r.pcm, want) << file.size() << " " << seconds << " " << bits;
            }
        }
    }
}

TEST(RenderTool, TheOutputEndsExactlyWhereTheSongEnds)
{
    Mod mod = oneNoteSong();
    modrender::Options o;
    auto r = modrender::render(mod.bytes, o);
    ASSERT_EQ(0, r.code);
    // The song ends where a row after its last would be read, after 64 rows: not a frame more
    // (no rounding up to whole mixing buffers), not a frame less (the last row sounds).
    ASSERT_EQ(64 * kRowFrames * 4, r.pcm.size());
    const int16_t* pcm = reinterpret_cast<const int16_t*>(r.pcm.data());
    EXPECT_NE(0, pcm[0] | pcm[1]);
    const size_t last = r.pcm.size() / 2 - 2;
    EXPECT_NE(0, pcm[last] | pcm[last + 1]) << "the note sounds to the end";
    auto wav = modrender::wavFile(r.pcm, o);
    EXPECT_EQ(44 + r.pcm.size(), wav.size());
    EXPECT_EQ(0, std::memcmp(wav.data(), "RIFF", 4));
    EXPECT_EQ(0, std::memcmp(wav.data() + 8, "WAVEfmt ", 8));
    EXPECT_EQ(0, std::memcmp(wav.data() + 36, "data", 4));
    EXPECT_EQ(44100u, wav[24] | wav[25] << 8 | wav[26] << 16 | uint32_t(wav[27]) << 24);
    EXPECT_EQ(4, wav[32]); // bytes per frame
    EXPECT_EQ(0, std::memcmp(wav.data() + 44, r.pcm.data(), r.pcm.size()));

    // A time limit cuts at its exact frame, in every output format.
    o.maxSeconds = 0.25;
    o.bits = 8;
    o.stereo = 0;
    o.rate = 22050;
    EXPECT_EQ(5512u, modrender::render(mod.bytes, o).pcm.size());
}

TEST(RenderTool, ASongThatJumpsBackRepeatsUntilTheTimeLimit)
{
    Mod mod = oneNoteSong();
    modrender::Options o;
    o.maxSeconds = 10; // longer than one pass of 7.6 s
    Mod jumping = mod;
    jumping.cell(0, 63, 1, 0, 0, 0x0B, 0);
    auto r = modrender::render(jumping.bytes, o);
    ASSERT_EQ(0, r.code);
    EXPECT_EQ(441000u * 4, r.pcm.size());
    // The second pass is the first again: the note restarts at the jump.
    const size_t pass = 64 * kRowFrames * 4;
    ASSERT_GT(r.pcm.size(), pass + 4000);
    EXPECT_EQ(0, std::memcmp(r.pcm.data(), r.pcm.data() + pass, 4000));
    // A song that only runs out still ends: the limit is no length of its own.
    EXPECT_EQ(64 * kRowFrames * 4, modrender::render(mod.bytes, o).pcm.size());
    // A jump forward is no repeat either: order 0 plays one row, order 1 its 64.
    ModSample note;
    note.data.assign(32, 50);
    note.loopLengthWords = 16;
    Mod forward(4, {0, 1}, 2, {note});
    forward.cell(0, 0, 0, 1, 428, 0x0B, 1);
    EXPECT_EQ(65 * kRowFrames * 4, modrender::render(forward.bytes, o).pcm.size());
}

TEST(RenderTool, NoSeparationSoundsOneTrackEquallyOnBothSides)
{
    Mod mod = oneNoteSong();
    modrender::Options o;
    o.maxSeconds = 0.1;
    o.separation = 0;
    auto r = modrender::render(mod.bytes, o);
    ASSERT_EQ(0, r.code);
    const int16_t* pcm = reinterpret_cast<const int16_t*>(r.pcm.data());
    size_t heard = 0;
    for (size_t f = 0; f < r.pcm.size() / 4; ++f) {
        ASSERT_EQ(pcm[2 * f], pcm[2 * f + 1]) << "frame " << f;
        heard += pcm[2 * f] != 0;
    }
    EXPECT_GT(heard, r.pcm.size() / 8);
    // Full separation puts the first track mostly left: three parts to one.
    o.separation = 255;
    auto wide = modrender::render(mod.bytes, o);
    const int16_t* w = reinterpret_cast<const int16_t*>(wide.pcm.data());
    EXPECT_NE(0, w[1]);
    EXPECT_EQ(w[0], 3 * w[1]);
}

TEST(RenderTool, WavPlaysAtItsRateAndBadInputIsReported)
{
    modrender::Options o;
    o.stereo = 0;
    auto w = wav(1, 1, 22050, 8, {0x80 + 2, 0x80 - 2});
    auto r = modrender::render(w, o);
    ASSERT_EQ(0, r.code);
    const int16_t* pcm = reinterpret_cast<const int16_t*>(r.pcm.data());
    EXPECT_EQ((2 << 8) * 64 >> 7, pcm[0]);
    EXPECT_EQ(pcm[0], pcm[1]);
    EXPECT_EQ(-((2 << 8) * 64 >> 7), pcm[2]);
    // Two samples at half the output rate: four frames, and nothing after them.
    EXPECT_EQ(4u * 2, r.pcm.size());
    auto broken = w;
    broken.resize(30);
    EXPECT_NE(0, modrender::render(broken, o).code);
    EXPECT_EQ(-100, modrender::render(std::vector<uint8_t>(100, 1), o).code);
}

TEST(RenderTool, AVolumeLevelScalesSongAndSoundAndOverlaysStartOnTheirFrame)
{
    modrender::Options o;
    o.stereo = 0;
    o.rate = 22050;
    // A constant 16-bit mono sound of 1000 frames.
    std::vector<uint8_t> bytes;
    for (int i = 0; i < 1000; ++i) {
        bytes.push_back(static_cast<uint8_t>(8000 & 0xFF));
        bytes.push_back(static_cast<uint8_t>(8000 >> 8));
    }
    auto sound = wav(1, 1, 22050, 16, bytes);
    o.volume = 21;
    auto r = modrender::render(sound, o);
    ASSERT_EQ(0, r.code);
    const int16_t* pcm = reinterpret_cast<const int16_t*>(r.pcm.data());
    // The effective volume is the sound's 64 times the master 21, over 64; the mixer takes
    // sample x volume >> 7.
    EXPECT_EQ(8000 * (64 * 21 >> 6) >> 7, pcm[10]);

    // The same sound over a song: silent until its start, then on top of the song.
    Mod mod = oneNoteSong();
    o.volume = 64;
    o.maxSeconds = 1;
    const auto plain = modrender::render(mod.bytes, o);
    o.overlays.push_back({sound, 0.5});
    const auto mixed = modrender::render(mod.bytes, o);
    ASSERT_EQ(plain.pcm.size(), mixed.pcm.size());
    const int16_t* a = reinterpret_cast<const int16_t*>(plain.pcm.data());
    const int16_t* b = reinterpret_cast<const int16_t*>(mixed.pcm.data());
    const size_t start = 22050 / 2;
    EXPECT_EQ(0, std::memcmp(a, b, start * 2));
    EXPECT_EQ(a[start + 10] + (8000 * 64 >> 7), b[start + 10]);
    EXPECT_EQ(a[start + 1200], b[start + 1200]) << "the overlay has ended";
    // An overlay that is no WAV file is reported.
    o.overlays.back().file.assign(50, 1);
    EXPECT_NE(0, modrender::render(mod.bytes, o).code);
}

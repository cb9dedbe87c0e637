// Pitch, volume and timing effects of the MOD player, tick by tick on a tiny module.
#include "ModHarness.h"

#include "sound/sndTables.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

using namespace soundtest;

namespace {

constexpr int kTick = 883; // output frames per tick at 44100 Hz and 50 Hz ticks

ModSample longSquare(int volume = 64)
{
    ModSample s;
    s.data.assign(1024, 0);
    for (size_t i = 0; i < s.data.size(); ++i)
        s.data[i] = static_cast<int8_t>(i % 16 < 8 ? 50 : -50);
    s.volume = volume;
    return s;
}

} // namespace

TEST(ModEffects, TonePortamentoSlidesToItsTargetAndStops)
{
    const uint16_t* table = sndPeriodTable();
    const int from = table[36], to = table[38];
    ASSERT_GT(from - to, 10);
    Mod mod(4, {0}, 1, {longSquare()});
    mod.cell(0, 0, 0, 1, from, 0, 0);
    mod.cell(0, 1, 0, 0, to, 3, 5);     // slide towards `to`, 5 per tick
    mod.cell(0, 2, 0, 0, 0, 3, 0);      // keeps target and speed
    mod.cell(0, 0, 1, 1, to, 0, 0);     // upward: from `to` to `from`
    mod.cell(0, 1, 1, 0, from, 3, 100); // faster than the distance: lands on the target
    Player p(mod);
    p.run(Player::rowFrames(6) + 1); // row 1 read
    auto& down = p.ch->track[0];
    auto& up = p.ch->track[1];
    EXPECT_EQ(from, down.period); // the note itself does not change the period
    EXPECT_EQ(to, down.portaTarget);
    p.run(kTick);
    EXPECT_EQ(from - 5, down.period);
    EXPECT_EQ(p.speaker.Step(from - 5), down.step);
    EXPECT_EQ(from, up.period);
    p.run(5 * kTick + 1); // the rest of row 1 and row 2 read
    const int expected = std::max(to, from - 5 * 5);
    EXPECT_EQ(expected, down.period);
    p.run(5 * kTick);
    EXPECT_EQ(to, down.period);
    EXPECT_EQ(p.speaker.Step(to), down.step);
}

// The steps of one track over `ticks` ticks of a note at period P with vibrato of the given
// depth at speed 4 (a whole cycle in 16 ticks), in a row of 31 ticks.
std::vector<uint32_t> vibratoSteps(int P, int depth, int ticks)
{
    Mod mod(4, {0}, 1, {longSquare()});
    mod.cell(0, 0, 0, 1, P, 4, 0x40 | depth);
    mod.cell(0, 0, 1, 0, 0, 15, 31);
    Player p(mod);
    p.run(1);
    std::vector<uint32_t> steps;
    for (int i = 0; i < ticks; ++i) {
        p.run(kTick);
        EXPECT_EQ(P, p.ch->track[0].period) << "vibrato moves the pitch, never the period";
        steps.push_back(p.ch->track[0].step);
    }
    return steps;
}

TEST(ModEffects, VibratoSwingsThePitchBothWaysAndBack)
{
    const int P = sndPeriodTable()[24];
    Mod plain(4, {0}, 1, {longSquare()});
    plain.cell(0, 0, 0, 1, P, 0, 0);
    Player note(plain);
    note.run(1);
    const uint32_t base = note.ch->track[0].step;

    const std::vector<uint32_t> deep = vibratoSteps(P, 8, 17);
    const std::vector<uint32_t> shallow = vibratoSteps(P, 4, 17);
    ASSERT_EQ(17u, deep.size());
    EXPECT_EQ(base, deep[0]) << "the cycle starts on the note";
    EXPECT_EQ(base, deep[16]) << "and comes back to it after a whole cycle";
    for (int i = 1; i < 8; ++i) {
        EXPECT_LT(deep[i], base) << "first half: flatter, tick " << i;
        EXPECT_GT(deep[i + 8], base) << "second half: sharper, tick " << i + 8;
    }
    // Deepest a quarter of the way in each half, and a deeper vibrato swings further.
    EXPECT_EQ(*std::min_element(deep.begin(), deep.end()), deep[4]);
    EXPECT_EQ(*std::max_element(deep.begin(), deep.end()), deep[12]);
    EXPECT_LT(deep[4], shallow[4]);
    EXPECT_GT(deep[12], shallow[12]);
    EXPECT_LT(shallow[4], base);
}

TEST(ModEffects, VibratoWithVolumeSlideSlidesOnTheVibrato)
{
    const int P = sndPeriodTable()[24];
    Mod mod(4, {0}, 1, {longSquare()});
    mod.cell(0, 0, 0, 1, P, 4, 0x48); // speed 4, depth 8
    mod.cell(0, 1, 0, 0, 0, 6, 0x03); // vibrato goes on, volume slides down 3
    Player p(mod);
    p.run(Player::rowFrames(6) + 1); // row 1 read
    auto& t = p.ch->track[0];
    const uint32_t before = t.step;
    p.run(kTick);
    EXPECT_EQ(61, t.volume);
    EXPECT_NE(before, t.step) << "the vibrato goes on";
    p.run(kTick * 4);
    EXPECT_EQ(64 - 5 * 3, t.volume);
    EXPECT_EQ(P, t.period);
}

TEST(ModEffects, PortamentoWithVolumeSlideAndSlideFloor)
{
    const uint16_t* table = sndPeriodTable();
    const int from = table[30], to = table[31];
    Mod mod(4, {0}, 1, {longSquare(10)});
    mod.cell(0, 0, 0, 1, from, 0, 0);
    mod.cell(0, 1, 0, 0, to, 3, 1);
    mod.cell(0, 2, 0, 0, 0, 5, 0x04); // portamento goes on, volume -4 per tick
    Player p(mod);
    p.run(2 * Player::rowFrames(6) + 1);
    auto& t = p.ch->track[0];
    const int before = t.period;
    p.run(kTick);
    EXPECT_EQ(std::max(to, before - 1), t.period);
    EXPECT_EQ(6, t.volume);
    p.run(kTick * 2);
    // Below zero: volume and effective volume 0.
    EXPECT_EQ(0, t.volume);
    EXPECT_EQ(0, t.effectiveVolume);
}

TEST(ModEffects, SampleOffsetIsRememberedAndSetVolumeIsUnlimited)
{
    Mod mod(4, {0}, 1, {longSquare()});
    mod.cell(0, 0, 0, 1, 428, 9, 2);     // start at byte 512
    mod.cell(0, 1, 0, 1, 428, 9, 0);     // the remembered offset again
    mod.cell(0, 0, 1, 1, 428, 12, 0x20); // volume 32
    mod.cell(0, 1, 1, 1, 428, 12, 0x50); // 80: kept as it stands
    Player p(mod);
    p.run(1);
    auto& offset = p.ch->track[0];
    const uint64_t step = p.speaker.Step(428);
    EXPECT_EQ((uint64_t{512} << 12) + step, offset.position);
    EXPECT_EQ(32, p.ch->track[1].volume);
    EXPECT_EQ(32, p.ch->track[1].effectiveVolume);
    p.run(Player::rowFrames(6) - 1);
    p.run(1);
    EXPECT_EQ((uint64_t{512} << 12) + step, offset.position);
    EXPECT_EQ(80, p.ch->track[1].volume);
    EXPECT_EQ(80, p.ch->track[1].effectiveVolume);
}

TEST(ModEffects, FineVolumeNoteCutAndNoteDelay)
{
    const int P = 428;
    Mod mod(4, {0}, 1, {longSquare(40)});
    mod.cell(0, 0, 0, 1, P, 14, 0xA9); // fine volume up 9
    mod.cell(0, 0, 1, 1, P, 14, 0xBF); // fine volume down 15
    mod.cell(0, 0, 2, 1, P, 14, 0xC2); // cut after two ticks
    mod.cell(0, 0, 3, 1, P, 14, 0xD1); // note two ticks late
    mod.cell(0, 1, 0, 0, 0, 14, 0xAF); // 49 + 15 = 64 at most
    mod.cell(0, 1, 1, 0, 0, 14, 0xBF); // 25 - 15 = 10
    mod.cell(0, 2, 1, 0, 0, 14, 0xBF); // 0 at least
    Player p(mod);
    p.run(1);
    auto* t = p.ch->track;
    EXPECT_EQ(49, t[0].volume);
    EXPECT_EQ(25, t[1].volume);
    EXPECT_EQ(0, t[3].period); // the delayed note has not sounded yet
    EXPECT_EQ(0u, t[3].step);
    p.run(kTick);
    EXPECT_EQ(40, t[2].effectiveVolume);
    EXPECT_EQ(0u, t[3].step);
    p.run(kTick);
    EXPECT_EQ(0, t[2].effectiveVolume);
    EXPECT_EQ(P, t[3].period);
    EXPECT_EQ(p.speaker.Step(P), t[3].step);
    p.run(kTick * 4 + 1);
    EXPECT_EQ(64, t[0].volume);
    EXPECT_EQ(10, t[1].volume);
    p.run(Player::rowFrames(6));
    EXPECT_EQ(0, t[1].volume);
}

TEST(ModEffects, PatternDelayHoldsTheRowAndIgnoredEffectsChangeNothing)
{
    Mod mod(4, {0}, 1, {longSquare()});
    mod.cell(0, 0, 0, 1, 428, 14, 0xE2); // the row lasts three times as long
    mod.cell(0, 0, 1, 1, 428, 7, 0x55);  // tremolo and panning are not played
    mod.cell(0, 0, 2, 1, 428, 8, 0x80);
    Player p(mod);
    p.run(1);
    const auto before1 = p.ch->track[1];
    const auto before2 = p.ch->track[2];
    p.run(3 * Player::rowFrames(6) - 1);
    EXPECT_EQ(1, p.ch->getPosition());
    p.run(1);
    EXPECT_EQ(2, p.ch->getPosition());
    EXPECT_EQ(before1.step, p.ch->track[1].step);
    EXPECT_EQ(before1.volume, p.ch->track[1].volume);
    EXPECT_EQ(before2.pan, p.ch->track[2].pan);
}

TEST(ModEffects, TracksMixUnscaledByPanAndVolume)
{
    ModSample flat;
    flat.data.assign(2048, 10);
    flat.volume = 64;
    Mod mod(4, {0}, 1, {flat});
    mod.cell(0, 0, 0, 1, 428, 0, 0); // even track: pan 64 at full separation
    Player stereo(mod);
    auto out = stereo.run(2);
    // s doubled to 20, u = 64 x 64 >> 8 = 16: right 16 x 20, left 48 x 20.
    EXPECT_EQ(960, out[0]);
    EXPECT_EQ(320, out[1]);
    stereo.ch->setVolume(32);
    out = stereo.run(1);
    EXPECT_EQ((32 - (32 * 64 >> 8)) * 20, out[0]);
    EXPECT_EQ((32 * 64 >> 8) * 20, out[1]);

    mod.cell(0, 0, 1, 1, 428, 12, 0x20); // odd track, volume 32: pan 192
    Player mono(mod, false, 0);
    out = mono.run(1);
    EXPECT_EQ(10 * 64 + 10 * 32, out[0]);
}

namespace {

// A looping sample of one constant value, so that the output is the effective volume times 10.
ModSample flatLoop(int volume)
{
    ModSample s;
    s.data.assign(64, 10);
    s.volume = volume;
    s.loopLengthWords = 32;
    return s;
}

} // namespace

TEST(ModEffects, CutNoteStaysSilentUntilARowWritesTheVolume)
{
    Mod mod(4, {0}, 1, {flatLoop(64)});
    mod.cell(0, 0, 0, 1, 428, 14, 0xC2); // cut on the second tick
    // row 1 empty: the note stays cut
    mod.cell(0, 2, 0, 0, 0, 12, 0x20); // set volume 32: audible again
    mod.cell(0, 4, 0, 0, 0, 14, 0xC1); // cut on the first tick
    mod.cell(0, 5, 0, 0, 0, 0, 0);     // nothing: still cut
    mod.cell(0, 6, 0, 1, 0, 0, 0);     // the sample number alone restores its default volume
    Player p(mod, false, 0);
    const int row = Player::rowFrames(6);
    auto out = p.run(1);
    EXPECT_EQ(10 * 64, out[0]);
    p.run(2 * kTick);
    EXPECT_EQ(0, p.ch->track[0].effectiveVolume);
    p.run(row - 1 - 2 * kTick);
    out = p.run(1); // row 1 read
    EXPECT_EQ(2, p.ch->getPosition());
    EXPECT_EQ(64, p.ch->track[0].volume);
    EXPECT_EQ(0, p.ch->track[0].effectiveVolume);
    EXPECT_EQ(0, out[0]);
    p.run(row - 1);
    out = p.run(1); // row 2: C20
    EXPECT_EQ(10 * 32, out[0]);
    p.run(row - 1);
    out = p.run(1); // row 3
    EXPECT_EQ(10 * 32, out[0]);
    p.run(row);       // up to the reading of row 4
    out = p.run(row); // row 4's ticks (the cut), then the reading of row 5
    EXPECT_EQ(6, p.ch->getPosition());
    EXPECT_EQ(0, out.back());
    out = p.run(row); // row 5's ticks, then the reading of row 6
    EXPECT_EQ(10 * 64, out[out.size() - 1]);
    EXPECT_EQ(64, p.ch->track[0].effectiveVolume);
}

TEST(ModEffects, SampleDefaultVolumeIsTakenAsStored)
{
    Mod mod(4, {0}, 1, {flatLoop(80)});
    mod.cell(0, 0, 0, 1, 428, 0, 0);
    Player p(mod, false, 0);
    auto out = p.run(1);
    EXPECT_EQ(80, p.ch->track[0].volume);
    EXPECT_EQ(80 * 64 >> 6, p.ch->track[0].effectiveVolume);
    EXPECT_EQ(10 * 80, out[0]);
}

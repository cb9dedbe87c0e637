#include "ModHarness.h"

#include "sound/sndTables.h"

#include <gtest/gtest.h>

using namespace soundtest;

TEST(ModLoad, SignaturesAndBounds)
{
    const uint8_t mk[] = "M.K.", mk2[] = "M!K!", six[] = "6CHN", eight[] = "8CHN",
                  sixteen[] = "16CH", thirtyTwo[] = "32CH", flt[] = "FLT4", lower[] = "6chn";
    EXPECT_EQ(4, sndMusic::GetChannelCount(mk));
    EXPECT_EQ(4, sndMusic::GetChannelCount(mk2));
    EXPECT_EQ(6, sndMusic::GetChannelCount(six));
    EXPECT_EQ(8, sndMusic::GetChannelCount(eight));
    EXPECT_EQ(16, sndMusic::GetChannelCount(sixteen));
    EXPECT_EQ(32, sndMusic::GetChannelCount(thirtyTwo));
    EXPECT_EQ(0, sndMusic::GetChannelCount(flt));
    EXPECT_EQ(0, sndMusic::GetChannelCount(lower));

    Mod mod(4, {0, 1}, 2, {square()});
    sndMusic m;
    EXPECT_EQ(-10, m.Load(nullptr, 0));
    ASSERT_EQ(0, m.Load(mod.bytes.data(), mod.bytes.size()));
    EXPECT_EQ(mod.bytes.size(), m.size);
    // Truncated anywhere: patterns or sample data missing.
    for (size_t n : {size_t{0}, size_t{1083}, mod.bytes.size() - 1, size_t{1084 + 1024}})
        EXPECT_EQ(-100, m.Load(mod.bytes.data(), n)) << n;
    EXPECT_EQ(nullptr, m.data);
    Mod flt4(4, {0}, 1, {square()}, "FLT4");
    EXPECT_EQ(-100, m.Load(flt4.bytes.data(), flt4.bytes.size()));
    // An order table naming a pattern the file does not hold.
    Mod far(4, {0, 9}, 1, {square()});
    EXPECT_EQ(-100, m.Load(far.bytes.data(), far.bytes.size()));
}

TEST(ModPlayer, RowTimingAndSpeed)
{
    Mod mod(4, {0}, 1, {square()});
    mod.cell(0, 0, 0, 1, 428, 0, 0);
    mod.cell(0, 1, 0, 0, 0, 15, 0x20); // speed 32
    mod.cell(0, 2, 0, 0, 0, 15, 0x21); // 13 Hz ticks
    mod.cell(0, 3, 0, 0, 0, 15, 0x7D); // 125 -> 50 Hz
    Player p(mod);
    p.run(1);
    EXPECT_EQ(882u, p.ch->samplesPerTick);
    EXPECT_EQ(1, p.ch->getPosition()); // row 0 read, next row 1
    p.run(Player::rowFrames(6) - 1);
    EXPECT_EQ(1, p.ch->getPosition());
    p.run(1);
    EXPECT_EQ(2, p.ch->getPosition());
    EXPECT_EQ(32, p.ch->speed);
    p.run(Player::rowFrames(32));
    EXPECT_EQ(13, p.ch->tickRate);
    p.run(1);
    EXPECT_EQ(3392u, p.ch->samplesPerTick); // ((44100 << 16) / (13 x 256)) >> 8
    p.run(static_cast<int>(1 + 32 * (p.ch->samplesPerTick + 1)));
    EXPECT_EQ(50, p.ch->tickRate);
}

TEST(ModPlayer, PatternBreakJumpAndEnd)
{
    for (int tracks : {4, 8}) {
        Mod mod(tracks, {0, 1}, 2, {square()}, tracks == 4 ? "M.K." : "8CHN");
        mod.cell(0, 0, 1, 0, 0, 13, 0x12); // D12
        Player p(mod);
        p.run(Player::rowFrames(6) + 1);
        EXPECT_EQ(1, p.ch->order);
        EXPECT_EQ(12 * tracks + tracks, p.ch->rowOffset); // row 12 read, at row 13
    }
    // B00 on the last order without loop ends the song; with loop it restarts.
    Mod mod(4, {0, 1}, 2, {square()});
    mod.cell(1, 0, 0, 0, 0, 11, 0);
    {
        Player p(mod, false);
        p.run(64 * Player::rowFrames(6) + 2);
        EXPECT_EQ(1, p.ch->order);
        p.run(Player::rowFrames(6));
        EXPECT_EQ(1, p.ch->stopped.load());
    }
    {
        Player p(mod, true);
        p.run(65 * Player::rowFrames(6) + 2);
        EXPECT_EQ(0, p.ch->stopped.load());
        EXPECT_EQ(0, p.ch->order);
    }
    // Running off the last pattern: stops without loop, restart order with it.
    Mod plain(4, {0}, 1, {square()});
    Player once(plain, false);
    once.run(64 * Player::rowFrames(6) + 1);
    EXPECT_EQ(1, once.ch->stopped.load());
    Player again(plain, true);
    again.run(64 * Player::rowFrames(6) + 1);
    EXPECT_EQ(0, again.ch->stopped.load());
    EXPECT_EQ(1, again.ch->getPosition());
}

TEST(ModPlayer, PatternLoopPlaysThreeTimes)
{
    Mod mod(4, {0}, 1, {square()});
    mod.cell(0, 1, 0, 0, 0, 14, 0x60); // E60 at row 1
    mod.cell(0, 2, 0, 0, 0, 14, 0x62); // E62 at row 2
    Player p(mod);
    std::vector<int> rows;
    for (int i = 0; i < 8; ++i) {
        p.run(i == 0 ? 1 : Player::rowFrames(6));
        rows.push_back(p.ch->getPosition());
    }
    // Positions after each row: 1, 2, then back to 1 twice, then on to 3.
    EXPECT_EQ((std::vector<int>{1, 2, 1, 2, 1, 2, 3, 4}), rows);
}

TEST(ModPlayer, EffectFirstTicks)
{
    const int P = sndPeriodTable()[36];
    Mod mod(4, {0}, 1, {square()});
    mod.cell(0, 0, 0, 1, P, 1, 0x40);  // portamento up by 64 per tick
    mod.cell(0, 0, 1, 1, P, 2, 0x40);  // portamento down
    mod.cell(0, 0, 2, 1, P, 10, 0x04); // volume slide down 4
    mod.cell(0, 0, 3, 1, P, 0, 0x47);  // arpeggio
    Player p(mod);
    p.run(1);
    const uint32_t base = p.speaker.Step(P);
    EXPECT_EQ(base, p.ch->track[0].step);
    EXPECT_EQ(P, p.ch->track[0].period);
    EXPECT_EQ(64, p.ch->track[2].volume);
    p.run(883); // first tick
    EXPECT_EQ(P - 64, p.ch->track[0].period);
    EXPECT_EQ(p.speaker.Step(P - 64), p.ch->track[0].step);
    EXPECT_EQ(P + 64, p.ch->track[1].period);
    EXPECT_EQ(60, p.ch->track[2].volume);
    EXPECT_EQ(60 * 64 >> 6, p.ch->track[2].effectiveVolume);
    const uint16_t* periods = sndPeriodTable();
    const int note = p.ch->track[3].noteIndex;
    EXPECT_EQ(p.speaker.Step(periods[note + 4]), p.ch->track[3].step);
    p.run(883 * 4);
    EXPECT_EQ(sndMinPeriod, p.ch->track[0].period); // never below 13
    EXPECT_EQ(P + 5 * 64, p.ch->track[1].period);
    EXPECT_EQ(44, p.ch->track[2].volume);
    EXPECT_EQ(p.speaker.Step(periods[note + 7]), p.ch->track[3].step); // 1, 2, 0, 1, 2
}

TEST(ModPlayer, TablesAndSongSetters)
{
    Mod mod(4, {0, 0, 0}, 1, {square()});
    Player p(mod);
    const uint16_t* t = sndPeriodTable();
    // Period 428 is the C that trackers tune samples to: 8363 samples a second, as a 20.12
    // step at the 44100 Hz output (one step unit is 44100 / 4096 samples a second).
    EXPECT_NEAR(8363.0, p.speaker.Step(428) * 44100.0 / 4096.0, 44100.0 / 4096.0);
    // Twelve notes up is an octave: half the period, twice the step (to within the rounding of
    // whole periods, which grows as the periods shrink).
    for (int n = 0; n < 36; n += 5) {
        EXPECT_NEAR(t[n] / 2.0, t[n + 12], 1.0) << n;
        EXPECT_NEAR(2.0, double(p.speaker.Step(t[n + 12])) / p.speaker.Step(t[n]), 0.01) << n;
    }
    // Finetune +1 (row 1) is a little sharper than the plain row, -1 (row 15) a little flatter,
    // both by less than a semitone.
    for (int n = 1; n < 40; n += 6) {
        EXPECT_LT(t[84 + n], t[n]) << n;
        EXPECT_GT(t[84 + n], t[n + 1]) << n;
        EXPECT_GT(t[15 * 84 + n], t[n]) << n;
        EXPECT_LT(t[15 * 84 + n], t[n - 1]) << n;
    }
    EXPECT_EQ(0, p.speaker.PeriodToNote(1712)) << "the lowest note";
    EXPECT_EQ(83, p.speaker.PeriodToNote(1)) << "beyond the highest note: the highest";
    // Periods written by trackers are notes of the table, not detuned neighbours.
    for (int period : {856, 808, 428, 404, 339, 214, 160, 113}) {
        const int note = p.speaker.PeriodToNote(period);
        EXPECT_EQ(period, t[note]) << period;
    }
    for (int row = 0; row < 16; ++row)
        for (int n = 1; n < 84; ++n)
            EXPECT_LT(t[row * 84 + n], t[row * 84 + n - 1]) << row << " " << n;
    EXPECT_EQ(3 * 64, p.ch->getLength());
    p.ch->setPosition(2 * 64 + 5);
    EXPECT_EQ(2 * 64 + 5, p.ch->getPosition());
    p.ch->setPosition(3 * 64); // order 3 does not exist
    EXPECT_EQ(2 * 64 + 5, p.ch->getPosition());
    p.ch->setPan(255);
    EXPECT_EQ(64, p.ch->track[0].pan);
    EXPECT_EQ(192, p.ch->track[1].pan);
    // No separation puts every track in the middle.
    p.ch->setPan(0);
    EXPECT_EQ(128, p.ch->track[0].pan);
    EXPECT_EQ(128, p.ch->track[1].pan);
    p.ch->setPan(128);
    EXPECT_EQ(96, p.ch->track[0].pan);
    EXPECT_EQ(160, p.ch->track[1].pan);
}

TEST(ModPlayer, HostileLoopPointsStayInsideTheSample)
{
    ModSample s = square();
    s.loopStartWords = 30;
    s.loopLengthWords = 500; // past the sample and the file
    Mod mod(4, {0}, 1, {s});
    mod.cell(0, 0, 0, 1, 113, 9, 0xFF);  // sample offset far past the end
    mod.cell(0, 1, 0, 1, 113, 13, 0x99); // break to row 99
    Player p(mod, true);
    p.run(20000);
    EXPECT_EQ(0, p.ch->stopped.load());
    EXPECT_EQ(4u << 12, p.ch->samples[1].loopLength);
}

TEST(ModPlayer, SongWithoutOrdersIsNotPlayed)
{
    // No orders: the file's pattern count covers no order entry, so the first entry (here a
    // pattern the file does not hold) must never be read.
    Mod mod(4, {}, 1, {square()});
    mod.bytes[952] = 5;
    sndSpeaker speaker;
    ASSERT_EQ(0, speaker.OpenWith(nullptr, 44100, 16, 1, 1, 8));
    sndMusic music;
    ASSERT_EQ(0, music.Load(mod.bytes.data(), mod.bytes.size()));
    EXPECT_EQ(-1000, speaker.PlayMusic(music));
    EXPECT_EQ(1, speaker.MusicChannel(0)->stopped.load());
    std::vector<int16_t> out(64, 7);
    speaker.Mix(out.data(), static_cast<uint32_t>(out.size() * 2));
    EXPECT_EQ(0, out[0]);
}

TEST(ModPlayer, JumpsAndBreaksOnTheLastOrderFollowTheRestartOrder)
{
    const int row = Player::rowFrames(6);
    // B02 on order 0 jumps forward even without the loop flag; B05 lies past the song: it ends
    // once its row has played.
    {
        Mod mod(4, {0, 1, 2}, 3, {square()});
        mod.cell(0, 0, 0, 0, 0, 11, 0x02);
        Player p(mod);
        p.run(1);
        EXPECT_EQ(2 * 64, p.ch->getPosition());
        EXPECT_EQ(2, p.ch->pattern);
    }
    {
        Mod mod(4, {0, 1, 2}, 3, {square()});
        mod.cell(0, 0, 0, 1, 428, 11, 0x05);
        Player p(mod, true);
        std::vector<int16_t> heard = p.run(row);
        EXPECT_EQ(0, p.ch->stopped.load());
        EXPECT_NE(0, heard[2 * (row - 1)]) << "the jump's own row sounds to its end";
        p.run(1);
        EXPECT_EQ(1, p.ch->stopped.load());
    }
    // D05 on the last order: with the loop flag the restart order (byte 951 = 1) at row 5,
    // without it the end of the song.
    for (bool loop : {true, false}) {
        Mod mod(4, {0, 1, 2}, 3, {square()}, "M.K.", 1);
        mod.cell(2, 0, 0, 0, 0, 13, 0x05);
        Player p(mod, loop);
        p.run(1 + 128 * row); // order 2, row 0 read last
        if (loop) {
            EXPECT_EQ(0, p.ch->stopped.load());
            EXPECT_EQ(64 + 5, p.ch->getPosition());
            EXPECT_EQ(1, p.ch->pattern);
        } else {
            EXPECT_EQ(0, p.ch->stopped.load());
            p.run(row);
            EXPECT_EQ(1, p.ch->stopped.load());
        }
    }
    // A restart byte not below the song length restarts at order 0.
    Mod mod(4, {1, 0}, 2, {square()}, "M.K.", 2);
    Player p(mod, true);
    p.run(1 + 128 * row);
    EXPECT_EQ(1, p.ch->getPosition());
    EXPECT_EQ(1, p.ch->pattern);
}

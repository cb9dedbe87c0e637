// Fixed tables of the MOD player: Amiga periods per finetune and the vibrato sine.
#pragma once

#include <cstdint>

constexpr int sndNotesPerRow = 84;
constexpr int sndFinetuneRows = 16;
constexpr int sndMaxPeriod = 1712;
constexpr int sndMinPeriod = 13;
// The NTSC Amiga's system clock in Hz: a sample played at period p runs at
// sndAmigaClock / (2p) samples a second.
constexpr uint32_t sndAmigaClock = 7159090;
// 2^47 / 44100 rounded up: a song's rate factor r gives (r x 256 x sndRateScale) >> 47, about r x
// 256 / 44100, the tick length's scale (256 for 44100).
constexpr uint64_t sndRateScale = 3191326267ull;

// 16 rows of 84 periods (rows 0..7 finetune 0..7, rows 8..15 finetune -8..-1), lowest note first.
const uint16_t* sndPeriodTable();
// The quarter-wave-and-back vibrato table (32 entries).
extern const uint8_t sndVibratoTable[32];

// Fixed tables of the MOD player: Amiga periods per finetune and the vibrato sine.
#pragma once

#include <cstdint>

constexpr int sndNotesPerRow = 84;
constexpr int sndFinetuneRows = 16;
constexpr int sndMaxPeriod = 1712;
constexpr int sndMinPeriod = 13;

// 16 rows of 84 periods (rows 0..7 finetune 0..7, rows 8..15 finetune -8..-1), lowest note first.
const uint16_t* sndPeriodTable();
// The quarter-wave-and-back vibrato table (32 entries).
extern const uint8_t sndVibratoTable[32];

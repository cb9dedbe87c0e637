#include "sound/sndTables.h"

#include <array>
#include <cmath>

namespace {

// Row 0 must hold the periods trackers write into MOD files, or every note read from a file
// would map to a detuned neighbour: the lowest octave as the handheld's table has it, then the
// three classic Amiga octaves, then the equal-tempered curve down to the table's last six values.
const uint16_t kLowOctave[12] = {1712, 1616, 1525, 1440, 1357, 1281,
                                 1209, 1141, 1077, 1017, 961,  907};
const uint16_t kAmiga[36] = {856, 808, 762, 720, 678, 640, 604, 570, 538, 508, 480, 453,
                             428, 404, 381, 360, 339, 320, 302, 285, 269, 254, 240, 226,
                             214, 202, 190, 180, 170, 160, 151, 143, 135, 127, 120, 113};
const uint16_t kTop[6] = {18, 17, 16, 15, 14, 13};

// Rows of finetune f are f/8 semitone higher (lower for negative f) than row 0, truncated.
uint16_t curve(int note, int finetune)
{
    return static_cast<uint16_t>(1712.0 * std::exp2(-(note + finetune / 8.0) / 12.0));
}

std::array<uint16_t, sndFinetuneRows * sndNotesPerRow> buildPeriods()
{
    std::array<uint16_t, sndFinetuneRows * sndNotesPerRow> t{};
    for (int row = 0; row < sndFinetuneRows; ++row) {
        const int finetune = row < 8 ? row : row - 16;
        uint16_t* r = t.data() + row * sndNotesPerRow;
        for (int n = 0; n < sndNotesPerRow; ++n)
            r[n] = curve(n, finetune);
        // The last notes of every row are squeezed onto the smallest periods the table allows.
        for (int n = 0; n < 6; ++n)
            r[78 + n] = kTop[n];
        if (row == 0) {
            for (int n = 0; n < 12; ++n)
                r[n] = kLowOctave[n];
            for (int n = 0; n < 36; ++n)
                r[12 + n] = kAmiga[n];
            for (int n = 48; n < 78; ++n)
                r[n] = static_cast<uint16_t>(std::lround(1712.0 * std::exp2(-n / 12.0)));
        }
        // Keep every row falling: no note may be lower than the one before it.
        for (int n = 77; n >= 0; --n)
            if (r[n] <= r[n + 1])
                r[n] = static_cast<uint16_t>(r[n + 1] + 1);
    }
    return t;
}

} // namespace

const uint16_t* sndPeriodTable()
{
    static const auto table = buildPeriods();
    return table.data();
}

const uint8_t sndVibratoTable[32] = {0,   24,  49,  74,  97,  120, 141, 161, 180, 197, 212,
                                     224, 235, 244, 250, 253, 255, 253, 250, 244, 235, 224,
                                     212, 197, 180, 161, 141, 120, 97,  74,  49,  24};

#include "sound/sndTables.h"

#include <array>
#include <cmath>

namespace {

// The anchor values every tracker agrees on; the rest follows the equal-tempered curve from the
// lowest note, each row a sixteenth of a semitone (eighth of a semitone per finetune step) apart.
std::array<uint16_t, sndFinetuneRows * sndNotesPerRow> buildPeriods()
{
    std::array<uint16_t, sndFinetuneRows * sndNotesPerRow> t{};
    static const uint16_t row0Start[12] = {1712, 1616, 1525, 1440, 1357, 1281,
                                           1209, 1141, 1077, 1017, 961,  907};
    static const uint16_t row0End[6] = {18, 17, 16, 15, 14, 13};
    for (int row = 0; row < sndFinetuneRows; ++row) {
        int finetune = row < 8 ? row : row - 16;
        for (int n = 0; n < sndNotesPerRow; ++n) {
            // Fit through 1712 at note 0 and 13 at note 83 so both ends match the classic table.
            double shape = std::log(1712.0 / 13.0) / 83.0;
            double p = 1712.0 * std::exp(-shape * (n + finetune / 8.0));
            t[row * sndNotesPerRow + n] = static_cast<uint16_t>(std::lround(p));
        }
    }
    for (int n = 0; n < 12; ++n)
        t[n] = row0Start[n];
    for (int n = 0; n < 6; ++n)
        t[78 + n] = row0End[n];
    static const uint16_t row1Start[3] = {1699, 1604, 1514};
    static const uint16_t row15Start[3] = {1724, 1627, 1536};
    static const uint16_t row15End[3] = {15, 14, 13};
    for (int n = 0; n < 3; ++n) {
        t[sndNotesPerRow + n] = row1Start[n];
        t[15 * sndNotesPerRow + n] = row15Start[n];
        t[15 * sndNotesPerRow + 81 + n] = row15End[n];
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

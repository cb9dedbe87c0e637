#include "util/DRandom.h"

namespace qev::util {

namespace {
constexpr uint64_t kMultiplier = 0x5DEECE66Dull;
constexpr uint64_t kMask48 = (1ull << 48) - 1;
} // namespace

DRandom::DRandom(int64_t seed)
{
    uint64_t scrambled = (static_cast<uint64_t>(seed) ^ kMultiplier) & kMask48;
    m_seedLow = static_cast<uint32_t>(scrambled);
    m_seedHigh = static_cast<uint32_t>(scrambled >> 32);
}

int32_t DRandom::next(int32_t bits)
{
    uint64_t seed = (static_cast<uint64_t>(m_seedHigh) << 32) | m_seedLow;
    seed = (seed * kMultiplier + 0xB) & kMask48;
    m_seedLow = static_cast<uint32_t>(seed);
    m_seedHigh = static_cast<uint32_t>(seed >> 32);
    // The shift count is taken modulo 64 as the generator's own 64-bit shift does, so a bit
    // count outside 0..48 still gives a defined value.
    return static_cast<int32_t>(static_cast<uint32_t>(seed >> ((48 - bits) & 63)));
}

} // namespace qev::util

// The 48-bit linear congruential generator of the Java ME class library: same seed, same
// sequence, call for call.
#pragma once

#include "lang/DObject.h"

namespace qev::util {

class DRandom : public qev::lang::DObject
{
  public:
    explicit DRandom(int64_t seed);

    // Advances the seed and returns its top `bits` bits (next(32) is nextInt()).
    int32_t next(int32_t bits);

    uint32_t seedLow() const { return m_seedLow; }
    uint32_t seedHigh() const { return m_seedHigh; }

  private:
    uint32_t m_seedLow;
    uint32_t m_seedHigh;
};

using DRandomPtr = qev::lang::DPtr<DRandom>;

} // namespace qev::util

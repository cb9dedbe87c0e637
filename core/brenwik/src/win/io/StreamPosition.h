// The read position of a stream over bytes held in memory.
#pragma once

#include <cstdint>

namespace qev::io {

// Moves `position` within [0, size] forward by up to `n` bytes (not at all for a negative n) and
// returns how far it moved: the skip of every in-memory stream.
inline int64_t skipWithin(int32_t& position, int32_t size, int64_t n)
{
    if (n < 0)
        return 0;
    if (n > size - position)
        n = size - position;
    position += static_cast<int32_t>(n);
    return n;
}

} // namespace qev::io

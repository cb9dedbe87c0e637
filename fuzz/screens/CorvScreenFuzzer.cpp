// The formation shooter started from damaged game data: the first byte of the input chooses its
// sprite atlas's piece list or its animation lists, the rest takes that entry's place. The game
// either refuses to start with an error that names the entry, or starts, shows its menu and
// plays a few seconds of keys without a fault.
#include "GameDataScreens.h"

#include "corvantine/Corvantine.h"

namespace {

constexpr fuzzscreens::Entry kEntries[] = {{"graphics/qvga/corv/all.txt", u"/corv/all.txt"},
                                           {"corv/anim.txt", u"/corv/anim.txt"}};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fuzzscreens::playDamaged(data, size, kEntries, corvantine::makeCorvantine, nullptr, 120);
    return 0;
}

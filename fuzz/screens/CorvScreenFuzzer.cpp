// The formation shooter started from damaged game data: the first byte of the input chooses its
// sprite atlas's piece list or its animation lists, the rest takes that entry's place. The game
// either refuses to start with an error that names the entry, or starts, shows its menu and
// plays a few seconds of keys without a fault.
#include "GameDataScreens.h"

#include "corvantine/Corvantine.h"

#include <cstdlib>

namespace {

struct Entry
{
    const char* stored;
    const char16_t* named;
};
constexpr Entry kEntries[] = {{"graphics/qvga/corv/all.txt", u"/corv/all.txt"},
                              {"corv/anim.txt", u"/corv/anim.txt"}};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fuzzscreens::prepare();
    if (size < 1)
        return 0;
    const Entry& entry = kEntries[data[0] % 2];
    fuzzscreens::replaceEntry(entry.stored, data + 1, size - 1);
    if (fuzzscreens::startScreen(corvantine::makeCorvantine(), entry.named)) {
        fuzzscreens::play(120);
    }
    fuzzscreens::restoreEntry(entry.stored);
    return 0;
}

// The brick-breaker started from damaged game data: the first byte of the input chooses its
// sprite atlas's piece list or its animation table, the rest takes that entry's place. The game
// either refuses to start with an error that names the entry, or starts, shows its menu and
// plays a few seconds of keys without a fault.
#include "GameDataScreens.h"

#include "tessarine/Tessarine.h"
#include "tessarine/TessarineGlobals.h"

#include <cstdlib>

namespace {

constexpr fuzzscreens::Entry kEntries[] = {{"graphics/qvga/tesk/all.txt", u"/tesk/all.txt"},
                                           {"tesk/anim.txt", u"/tesk/anim.txt"}};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fuzzscreens::playDamaged(
        data, size, kEntries, tessarine::makeTessarine,
        [] {
            // A started game shows its menu: it no longer waits on its loading screen.
            if (tessarine::gameState == tessarine::STATE_LOADING)
                std::abort();
        },
        120);
    return 0;
}

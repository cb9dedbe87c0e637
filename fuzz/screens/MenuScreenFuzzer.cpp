// The main menu started from damaged game data: the input takes the place of its small-icon
// atlas's piece list. The menu either refuses to start with an error that names the list, or
// starts and takes a few seconds of keys (moving, choosing, pausing) without a fault.
#include "GameDataScreens.h"

#include "gamelib/GameLib.h"

namespace {

constexpr const char* kStored = "graphics/qvga/menu/small_icons.txt";

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fuzzscreens::prepare();
    fuzzscreens::replaceEntry(kStored, data, size);
    if (fuzzscreens::startScreen(gamelib::makeShellMainMenu(), u"/menu/small_icons.txt"))
        fuzzscreens::play(80);
    fuzzscreens::restoreEntry(kStored);
    return 0;
}

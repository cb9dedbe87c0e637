// Linked into every fuzz target (ph_add_fuzzer) and benchmark program (ph_add_bench): the records
// start in memory, before anything runs, so that no fuzz input and no program that forgets to
// choose a store reaches the player's own records. A program may still choose a file of its own,
// in a scratch folder, where it needs one.
#include "platform/DeviceProfile.h"

namespace {

[[maybe_unused]] const bool g_recordsInMemory = [] {
    platform::DeviceProfile::current().registryPath = ":memory:";
    return true;
}();

} // namespace

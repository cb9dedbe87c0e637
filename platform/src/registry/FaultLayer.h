// Faults of the disk under the records database, for tests: an SQLite file system layer over the
// default one that fails a write growing a file (or the shared-memory file) past the room left
// with SQLITE_FULL, as a full disk would, and fails reads or syncs with an I/O error. Databases
// opened while no fault is set do not go through it.
#pragma once

#include <cstdint>

namespace platform::registry {

// Bytes the files may still grow by; -1 for no limit.
void setDiskRoom(int64_t bytes);
int64_t diskRoom();
// The n-th read from now fails once; the n-th sync and every later one fail; 0 disarms them.
void failNthRead(unsigned n);
void failNthSync(unsigned n);
// The name of the layer to open a database through: null (the default) without a fault.
const char* faultLayerVfs();

} // namespace platform::registry

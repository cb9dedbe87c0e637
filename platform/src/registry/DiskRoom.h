// A limit on the room the records database's files may take on disk, for tests of a full disk:
// an SQLite file system layer over the default one that fails a write growing a file past the
// room left with SQLITE_FULL, as the disk would. Files opened while no limit is set do not go
// through it.
#pragma once

#include <cstdint>

namespace platform::registry {

// Bytes the files may still grow by; -1 for no limit.
void setDiskRoom(int64_t bytes);
int64_t diskRoom();
// The name of the layer to open a database through: null (the default) without a limit.
const char* diskRoomVfs();

} // namespace platform::registry

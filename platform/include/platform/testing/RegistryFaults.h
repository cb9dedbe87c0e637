// Test controls of the registry database: failing statements, reads and syncs, a full disk, a
// write-protected file, the lock wait and syncing. The game's code never calls them.
#pragma once

#include <cstdint>

namespace platform {

class RegistryFaults
{
  public:
    // The n-th SQL statement (1-based, counted from now) fails with the given SQLite result
    // code (SQLITE_FULL 13, SQLITE_IOERR 10, ...); 0 disarms it.
    static void failNthStatement(unsigned n, int sqliteResult);
    // An existing database file is treated as one this process may not write (as a
    // write-protected file or folder would be), from the next opening on.
    static void refuseWrites(bool refuse);
    // A disk with `bytes` of room left for the database's files (the main file, its log and
    // its shared-memory file). A write that needs more fails as on a full disk. Applies to
    // databases opened while a fault of this layer is set (later changes of the number apply
    // to them at once); -1 lifts the limit.
    static void limitDiskRoom(int64_t bytes);
    // The n-th read of the database's files (1-based, counted from now) fails once with an I/O
    // error, as a passing fault of the disk would; 0 disarms it. Applies as limitDiskRoom does.
    static void failNthRead(unsigned n);
    // The n-th sync to disk of the database's files and every later one fail (the data stays
    // written, as after a failed fdatasync) until disarmed with 0. Applies as limitDiskRoom does.
    static void failNthSync(unsigned n);
    // How long a call waits for another program's lock on the file before it goes on without
    // it (by default about one step of the game). Waits pass on the program's clock.
    static void lockWait(int millis);
    // Lifts every fault and switch above.
    static void clearFaults();
    // With false, databases opened from now on skip the syncs to disk (a crash of the machine
    // may then lose writes). For fuzzing and other runs that throw the data away; the shipped
    // program always syncs.
    static void syncWrites(bool sync);
};

} // namespace platform

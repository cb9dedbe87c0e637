#include "FaultLayer.h"

#include <sqlite3.h>

#include <sys/stat.h>

#include <atomic>
#include <mutex>
#include <string>

namespace platform::registry {

namespace {

std::atomic<int64_t> g_room{-1};
std::atomic<unsigned> g_readCountdown{0};
std::atomic<unsigned> g_syncCountdown{0};
std::atomic<bool> g_syncFailing{false}; // the armed sync came: every later one fails too

// True once when the countdown reaches the armed call.
bool countDown(std::atomic<unsigned>& countdown)
{
    unsigned left = countdown.load();
    while (left > 0) {
        if (countdown.compare_exchange_weak(left, left - 1))
            return left == 1;
    }
    return false;
}

struct RoomFile
{
    sqlite3_file base;
    sqlite3_file* real;   // placed right after this record, in the same allocation
    std::string* shmPath; // the shared-memory file of a main database file, else null
};

sqlite3_file* real(sqlite3_file* f)
{
    return reinterpret_cast<RoomFile*>(f)->real;
}

// Takes the room a write past the file's end needs; false when there is not enough.
bool takeGrowth(int64_t growth)
{
    int64_t room = g_room.load();
    while (room >= 0 && growth > 0) {
        if (growth > room)
            return false;
        if (g_room.compare_exchange_weak(room, room - growth))
            break;
    }
    return true;
}

bool takeRoom(sqlite3_file* file, sqlite3_int64 end)
{
    sqlite3_int64 size = 0;
    if (file->pMethods->xFileSize(file, &size) != SQLITE_OK)
        return true;
    return takeGrowth(end > size ? end - size : 0);
}

int roomClose(sqlite3_file* f)
{
    auto* file = reinterpret_cast<RoomFile*>(f);
    int rc = file->real->pMethods ? file->real->pMethods->xClose(file->real) : SQLITE_OK;
    delete file->shmPath;
    file->shmPath = nullptr;
    f->pMethods = nullptr;
    return rc;
}
int roomRead(sqlite3_file* f, void* buffer, int amount, sqlite3_int64 offset)
{
    if (countDown(g_readCountdown))
        return SQLITE_IOERR_READ;
    return real(f)->pMethods->xRead(real(f), buffer, amount, offset);
}
int roomWrite(sqlite3_file* f, const void* buffer, int amount, sqlite3_int64 offset)
{
    if (!takeRoom(real(f), offset + amount))
        return SQLITE_FULL;
    return real(f)->pMethods->xWrite(real(f), buffer, amount, offset);
}
int roomTruncate(sqlite3_file* f, sqlite3_int64 size)
{
    sqlite3_int64 before = 0;
    bool known = real(f)->pMethods->xFileSize(real(f), &before) == SQLITE_OK;
    int rc = real(f)->pMethods->xTruncate(real(f), size);
    if (rc == SQLITE_OK && known && size < before && g_room.load() >= 0)
        g_room += before - size;
    return rc;
}
int roomSync(sqlite3_file* f, int flags)
{
    // What was written stays written, as after a failed fdatasync: only its syncing failed.
    if (g_syncFailing.load() || countDown(g_syncCountdown)) {
        g_syncFailing = true;
        return SQLITE_IOERR_FSYNC;
    }
    return real(f)->pMethods->xSync(real(f), flags);
}
int roomFileSize(sqlite3_file* f, sqlite3_int64* size)
{
    return real(f)->pMethods->xFileSize(real(f), size);
}
int roomLock(sqlite3_file* f, int level)
{
    return real(f)->pMethods->xLock(real(f), level);
}
int roomUnlock(sqlite3_file* f, int level)
{
    return real(f)->pMethods->xUnlock(real(f), level);
}
int roomCheckReservedLock(sqlite3_file* f, int* out)
{
    return real(f)->pMethods->xCheckReservedLock(real(f), out);
}
int roomFileControl(sqlite3_file* f, int op, void* arg)
{
    return real(f)->pMethods->xFileControl(real(f), op, arg);
}
int roomSectorSize(sqlite3_file* f)
{
    return real(f)->pMethods->xSectorSize(real(f));
}
int roomDeviceCharacteristics(sqlite3_file* f)
{
    return real(f)->pMethods->xDeviceCharacteristics(real(f));
}
// Growing the shared-memory file takes room as any file does; it is made on the first read.
int roomShmMap(sqlite3_file* f, int region, int size, int extend, void volatile** out)
{
    const std::string* shm = reinterpret_cast<RoomFile*>(f)->shmPath;
    struct stat st
    {
    };
    if (extend && shm && g_room.load() >= 0) {
        int64_t now = ::stat(shm->c_str(), &st) == 0 ? st.st_size : 0;
        int64_t end = int64_t{region + 1} * size;
        if (!takeGrowth(end > now ? end - now : 0))
            return SQLITE_IOERR_SHMSIZE;
    }
    return real(f)->pMethods->xShmMap(real(f), region, size, extend, out);
}
int roomShmLock(sqlite3_file* f, int offset, int n, int flags)
{
    return real(f)->pMethods->xShmLock(real(f), offset, n, flags);
}
void roomShmBarrier(sqlite3_file* f)
{
    real(f)->pMethods->xShmBarrier(real(f));
}
int roomShmUnmap(sqlite3_file* f, int deleteFlag)
{
    return real(f)->pMethods->xShmUnmap(real(f), deleteFlag);
}

// Memory-mapped reads and writes would pass the room by; the layer offers none (version 2).
const sqlite3_io_methods kRoomMethods = {2,
                                         roomClose,
                                         roomRead,
                                         roomWrite,
                                         roomTruncate,
                                         roomSync,
                                         roomFileSize,
                                         roomLock,
                                         roomUnlock,
                                         roomCheckReservedLock,
                                         roomFileControl,
                                         roomSectorSize,
                                         roomDeviceCharacteristics,
                                         roomShmMap,
                                         roomShmLock,
                                         roomShmBarrier,
                                         roomShmUnmap,
                                         nullptr,
                                         nullptr};

sqlite3_vfs g_vfs;

sqlite3_vfs* lowerOf(sqlite3_vfs* vfs)
{
    return static_cast<sqlite3_vfs*>(vfs->pAppData);
}

int roomOpen(sqlite3_vfs* vfs, sqlite3_filename name, sqlite3_file* f, int flags, int* outFlags)
{
    sqlite3_vfs* lower = lowerOf(vfs);
    auto* file = reinterpret_cast<RoomFile*>(f);
    file->real = reinterpret_cast<sqlite3_file*>(file + 1);
    file->shmPath = (flags & SQLITE_OPEN_MAIN_DB) && name
                        ? new std::string(std::string(name) + "-shm")
                        : nullptr;
    int rc = lower->xOpen(lower, name, file->real, flags, outFlags);
    f->pMethods = file->real->pMethods ? &kRoomMethods : nullptr;
    if (!f->pMethods) {
        delete file->shmPath;
        file->shmPath = nullptr;
    }
    return rc;
}

int roomDelete(sqlite3_vfs* vfs, const char* name, int syncDir)
{
    return lowerOf(vfs)->xDelete(lowerOf(vfs), name, syncDir);
}
int roomAccess(sqlite3_vfs* vfs, const char* name, int flags, int* out)
{
    return lowerOf(vfs)->xAccess(lowerOf(vfs), name, flags, out);
}
int roomFullPathname(sqlite3_vfs* vfs, const char* name, int size, char* out)
{
    return lowerOf(vfs)->xFullPathname(lowerOf(vfs), name, size, out);
}

const char* registerLayer()
{
    static std::once_flag once;
    std::call_once(once, [] {
        sqlite3_vfs* lower = sqlite3_vfs_find(nullptr);
        g_vfs = *lower;
        g_vfs.iVersion = lower->iVersion;
        g_vfs.szOsFile = static_cast<int>(sizeof(RoomFile)) + lower->szOsFile;
        g_vfs.pNext = nullptr;
        g_vfs.zName = "ph-disk-faults";
        g_vfs.pAppData = lower;
        g_vfs.xOpen = roomOpen;
        g_vfs.xDelete = roomDelete;
        g_vfs.xAccess = roomAccess;
        g_vfs.xFullPathname = roomFullPathname;
        sqlite3_vfs_register(&g_vfs, 0);
    });
    return g_vfs.zName;
}

} // namespace

void setDiskRoom(int64_t bytes)
{
    g_room = bytes < 0 ? -1 : bytes;
}

int64_t diskRoom()
{
    return g_room.load();
}

void failNthRead(unsigned n)
{
    g_readCountdown = n;
}

void failNthSync(unsigned n)
{
    g_syncCountdown = n;
    g_syncFailing = false;
}

const char* faultLayerVfs()
{
    bool faulty = g_room.load() >= 0 || g_readCountdown.load() > 0 || g_syncCountdown.load() > 0 ||
                  g_syncFailing.load();
    return faulty ? registerLayer() : nullptr;
}

} // namespace platform::registry

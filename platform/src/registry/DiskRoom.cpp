#include "DiskRoom.h"

#include <sqlite3.h>

#include <atomic>
#include <mutex>

namespace platform::registry {

namespace {

std::atomic<int64_t> g_room{-1};

struct RoomFile
{
    sqlite3_file base;
    sqlite3_file* real; // placed right after this record, in the same allocation
};

sqlite3_file* real(sqlite3_file* f)
{
    return reinterpret_cast<RoomFile*>(f)->real;
}

// Takes the room a write past the file's end needs; false when there is not enough.
bool takeRoom(sqlite3_file* file, sqlite3_int64 end)
{
    sqlite3_int64 size = 0;
    if (file->pMethods->xFileSize(file, &size) != SQLITE_OK)
        return true;
    int64_t growth = end > size ? end - size : 0;
    int64_t room = g_room.load();
    while (room >= 0 && growth > 0) {
        if (growth > room)
            return false;
        if (g_room.compare_exchange_weak(room, room - growth))
            break;
    }
    return true;
}

int roomClose(sqlite3_file* f)
{
    int rc = real(f)->pMethods ? real(f)->pMethods->xClose(real(f)) : SQLITE_OK;
    f->pMethods = nullptr;
    return rc;
}
int roomRead(sqlite3_file* f, void* buffer, int amount, sqlite3_int64 offset)
{
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
int roomShmMap(sqlite3_file* f, int region, int size, int extend, void volatile** out)
{
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
    int rc = lower->xOpen(lower, name, file->real, flags, outFlags);
    f->pMethods = file->real->pMethods ? &kRoomMethods : nullptr;
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
        g_vfs.zName = "ph-disk-room";
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

const char* diskRoomVfs()
{
    return g_room.load() < 0 ? nullptr : registerLayer();
}

} // namespace platform::registry

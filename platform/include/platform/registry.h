// The registry: keys of named values under the predefined roots HKEY_CURRENT_USER and
// HKEY_LOCAL_MACHINE, kept in an SQLite database (the profile's registryPath, by default
// $XDG_DATA_HOME/pallasterhorn/registry.sqlite; ":memory:" keeps it in memory).
//
// Every write (RegSetValueExW, RegCreateKeyExW) is its own transaction in a write-ahead-logged
// database with full syncs, so a crash or kill at any moment leaves each value either old or
// new. A file that is not a database, is damaged, holds tables that are not the registry's or
// was made by a newer version is moved aside (with a message box naming where it went) and a
// new empty one is started; it is never removed (one that cannot be moved stays as it is). A
// file that can be read but not written is opened for reading, with one message box: reads work,
// writes fail with ERROR_ACCESS_DENIED. A file that cannot be
// opened at all, and a write that fails for want of room or storage, get the same one box per
// file and run: the player is told that records are not saved. A file that cannot be opened is
// not tried again in the run. Another program's lock is waited for once, briefly; then calls fail
// at once until a write goes through. A file removed or replaced while open is noticed at the
// next call, and the file then at the path is opened, with a box. The database is closed in
// order (its log written into the main file) by Registry::shutdown, which also runs at exit. Key
// and value names are case-insensitive; path components are separated by "\". HKEY_LOCAL_MACHINE is
// read-only and holds what the device profile provides. Results are error codes as on the handheld:
// ERROR_SUCCESS, ERROR_FILE_NOT_FOUND, ERROR_MORE_DATA (the size needed is written back),
// ERROR_NO_MORE_ITEMS, ERROR_INVALID_HANDLE, ERROR_INVALID_PARAMETER, ERROR_ACCESS_DENIED,
// ERROR_DISK_FULL and ERROR_WRITE_FAULT for storage failures, ERROR_PATH_NOT_FOUND when the
// database's folder cannot be made.
#pragma once

#include "platform/files.h"
#include "platform/wintypes.h"

#include <string>

typedef DWORD REGSAM;
typedef HKEY* PHKEY;
typedef BYTE* LPBYTE;
struct FILETIME;
struct SECURITY_ATTRIBUTES;

#define HKEY_CURRENT_USER ((HKEY)(ULONG_PTR)0x80000001u)
#define HKEY_LOCAL_MACHINE ((HKEY)(ULONG_PTR)0x80000002u)

#define REG_NONE 0
#define REG_SZ 1
#define REG_EXPAND_SZ 2
#define REG_BINARY 3
#define REG_DWORD 4
#define REG_MULTI_SZ 7

#define REG_CREATED_NEW_KEY 1
#define REG_OPENED_EXISTING_KEY 2

#define KEY_ALL_ACCESS 0xF003F
#define KEY_READ 0x20019

LONG RegOpenKeyExW(HKEY key, LPCWSTR subKey, DWORD options, REGSAM access, PHKEY result);
// Creates the key and every missing key above it, in one transaction.
LONG RegCreateKeyExW(HKEY key, LPCWSTR subKey, DWORD reserved, LPWSTR keyClass, DWORD options,
                     REGSAM access, SECURITY_ATTRIBUTES* security, PHKEY result,
                     LPDWORD disposition);
// With data null only the type and size are reported.
LONG RegQueryValueExW(HKEY key, LPCWSTR valueName, LPDWORD reserved, LPDWORD type, LPBYTE data,
                      LPDWORD dataSize);
LONG RegSetValueExW(HKEY key, LPCWSTR valueName, DWORD reserved, DWORD type, const BYTE* data,
                    DWORD dataSize);
// Values in the order they were first written. nameLength: in, the buffer's size in units;
// out, the name's length without the terminator.
LONG RegEnumValueW(HKEY key, DWORD index, LPWSTR name, LPDWORD nameLength, LPDWORD reserved,
                   LPDWORD type, LPBYTE data, LPDWORD dataSize);
// The index-th sub-key's name, in the order the key lists them; ERROR_NO_MORE_ITEMS past the
// last, ERROR_MORE_DATA when the name does not fit. The class and the time are not kept.
LONG RegEnumKeyExW(HKEY key, DWORD index, LPWSTR name, LPDWORD nameLength, LPDWORD reserved,
                   LPWSTR keyClass, LPDWORD classLength, FILETIME* lastWriteTime);
// Lengths in units without the terminator, sizes in bytes; the class and the time are not kept.
LONG RegQueryInfoKeyW(HKEY key, LPWSTR keyClass, LPDWORD classLength, LPDWORD reserved,
                      LPDWORD subKeys, LPDWORD maxSubKeyLength, LPDWORD maxClassLength,
                      LPDWORD values, LPDWORD maxValueNameLength, LPDWORD maxValueLength,
                      LPDWORD securityDescriptor, FILETIME* lastWriteTime);
// The predefined roots close without effect.
LONG RegCloseKey(HKEY key);

namespace platform {

class Registry
{
  public:
    // Closes the database; the next call opens the profile's registryPath again. Keys open
    // until then become invalid. Tests use it to change databases and before fork().
    static void closeDatabase();
    // As closeDatabase, but an open in-memory database (":memory:") is emptied in place and
    // kept, with its prepared statements: the next call finds an empty user store without the
    // cost of opening a new database. For fuzzing, which needs a fresh store for every input.
    static void emptyDatabase();
    // Closes the database in order at the end of a run: the write-ahead log is written into
    // the main file, so that registry.sqlite alone holds every value, then the file is closed.
    // Safe to call more than once; also run at exit for a program that does not call it.
    static void shutdown();
    // True while the open database is read but cannot be written.
    static bool readOnly();
    // The file of the open database ("" when none is open).
    static std::string openPath();
};

} // namespace platform

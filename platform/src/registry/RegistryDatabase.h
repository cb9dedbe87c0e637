// The SQLite database behind the registry: opening (and reopening when the profile's path
// changes), recovery from a damaged file, the two stores (HKEY_CURRENT_USER on disk,
// HKEY_LOCAL_MACHINE in memory, filled from the profile) and the statements the registry calls
// are made of. Callers hold mutex() around every use.
#pragma once

#include "platform/wintypes.h"

#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;

namespace platform::registry {

enum class Store { User = 0, Machine = 1 };

struct ValueRecord
{
    std::string name; // UTF-8
    DWORD type = 0;
    std::string data;
};

struct KeyInfo
{
    std::vector<std::string> subKeyNames; // UTF-8
    std::vector<std::string> valueNames;  // UTF-8
    size_t maxValueSize = 0;
};

class RegistryDatabase
{
  public:
    // How long a call waits for another program's lock before it goes on without it: about
    // what one step of the game can spare. Once a wait ran out, calls do not wait again until a
    // write goes through.
    static constexpr int kLockWaitMillis = 50;

    static RegistryDatabase& instance();
    std::recursive_mutex& mutex() { return m_mutex; }

    // Opens the profile's database when none is open, its path changed or it was found damaged.
    DWORD ready();
    // Increases whenever another database (or a fresh one) is opened; keys of an older
    // generation are invalid.
    uint64_t generation() const { return m_generation; }
    void close();
    // As close, and the next call tries a file again that could not be opened in this run.
    void forget();
    // Empties the user store of an open in-memory database in place, as closing it and opening a
    // new one would, but keeps the connection and its prepared statements. False (nothing done)
    // when the open database is not in memory or could not be emptied.
    bool emptyInMemory();
    // Writes the write-ahead log into the main file, then closes. Safe to repeat.
    void shutdown();
    const std::string& path() const { return m_path; }
    // True while the open database could only be opened for reading: writes fail.
    bool readOnly() const { return m_readOnly; }

    // Key id 0 is the root of each store. Missing keys and values give ERROR_FILE_NOT_FOUND.
    DWORD findChild(Store store, int64_t parent, const std::string& name, int64_t& id);
    DWORD createChild(Store store, int64_t parent, const std::string& name, int64_t& id);
    DWORD begin();
    DWORD commit();
    void rollback();
    DWORD getValue(Store store, int64_t key, const std::string& name, ValueRecord& out);
    DWORD setValue(Store store, int64_t key, const std::string& name, DWORD type, const void* data,
                   size_t size);
    // The index-th value in the order of first writing; ERROR_NO_MORE_ITEMS past the last.
    DWORD valueAt(Store store, int64_t key, uint32_t index, ValueRecord& out);
    DWORD keyInfo(Store store, int64_t key, KeyInfo& out);

    // A write of the player's records ended with `error`: a storage failure (no room, a lock
    // held too long, an I/O error) is said once, as an unwritable file is. Returns `error`.
    DWORD writeResult(DWORD error);
    // True when the last write failed in a way that may have stored it all the same (an I/O
    // error: a failed sync leaves the transaction in the log, where the next start finds it).
    bool outcomeUnknown(DWORD error) const;
    // Closes the connection without writing its log into the main file and opens the same file
    // again, as the next start would: what it then reads is what is really stored. Keys stay
    // valid when the file opens again.
    DWORD reconnect();

    void failNthStatement(unsigned n, int sqliteResult);
    // How long a statement waits for another connection's lock.
    void lockWait(int millis) { m_lockWaitMs = millis; }
    bool lockedOut() const { return m_lockedOut; }
    // Treats an existing database file as one this process may not write.
    void refuseWrites(bool refuse) { m_refuseWrites = refuse; }
    // Full syncs (the default) or none, from the next opening on.
    void syncWrites(bool sync) { m_syncWrites = sync; }

  private:
    enum Kind {
        FindChild,
        CreateChild,
        GetValue,
        SetValue,
        ValueAt,
        ValueAfter,
        SubKeyNames,
        ValueNames,
        KindCount
    };

    RegistryDatabase() = default;
    static bool isDamage(int sqliteResult);
    // Damaged, Foreign and Newer files are moved aside; NotWritable ones are opened for
    // reading.
    enum class OpenResult { Ok, Damaged, Foreign, Newer, NotWritable, Failed };
    // Immutable reads a file whose folder cannot take the lock files; only safe without a log.
    // Private reads a file (and its log) without the shared-memory file, for a disk without room
    // for it: the log's index is kept in memory under an exclusive lock, and nothing is written.
    enum class OpenMode { ReadWrite, ReadOnly, Private, Immutable };
    OpenResult tryOpen(const std::string& path, OpenMode mode, std::string& problem, DWORD& error);
    OpenResult checkIntegrity(OpenMode mode, std::string& problem, DWORD& error);
    OpenResult checkSchema(std::string& problem, int& version);
    bool hasOrderIndex();
    // Read-write, or for reading only when the file cannot be written.
    OpenResult openEither(const std::string& path, std::string& problem, DWORD& error);
    DWORD openAt(const std::string& path);
    // Tries the opening again when a read failed on the way: a passing fault is no damage.
    OpenResult openRetrying(const std::string& path, std::string& problem, DWORD& error);
    // False when the file could not be moved; it is then left in place, never removed.
    bool moveAside(const std::string& path, OpenResult why, const std::string& reason);
    // The file at the path is no longer the one open (removed or replaced while in use).
    bool replacedUnderneath() const;
    // Closes the file that is no longer at the path, opens the one there and tells the player.
    DWORD reopenReplaced();
    static int waitForLock(void* self, int count);
    void noticeReadOnly(const std::string& path, const std::string& reason);
    // The one message box of a run whose records are not (all) saved; once per file.
    void noticeNotSaved(const std::string& path, const std::string& text);
    void noticeCannotOpen(const std::string& path, const std::string& reason);
    DWORD seedMachine();
    DWORD exec(const char* sql);
    sqlite3_stmt* statement(Store store, Kind kind);
    // sqlite3_step with fault injection; notes damage.
    int step(sqlite3_stmt* s);
    DWORD errorFor(int result);

    std::recursive_mutex m_mutex;
    sqlite3* m_db = nullptr;
    std::string m_path;
    std::string m_absolutePath; // m_path made absolute when it was opened
    std::string m_failedPath;   // a file that could not be opened in this run, not tried again
    DWORD m_failedError = ERROR_SUCCESS;
    int m_lastFailure = 0;              // the SQLite result of the last failed statement
    bool m_lockedOut = false;           // a lock wait ran out and no write went through since
    int64_t m_lockWaitStart = 0;        // when the current wait for a lock began
    uint64_t m_device = 0, m_inode = 0; // the open file's identity
    uint64_t m_generation = 0;
    bool m_damaged = false;
    bool m_readOnly = false;
    bool m_refuseWrites = false;
    bool m_syncWrites = true;
    std::string m_notSavedNotice; // the path whose records were reported as not saved
    int m_lockWaitMs = kLockWaitMillis;
    long m_openedBy = 0; // the process that opened the connection
    bool m_seededTouch = false;
    sqlite3_stmt* m_statements[2][KindCount] = {};
    // Where the last enumeration step stopped, so that the next index continues from there
    // instead of counting the values again (writes reset it).
    struct EnumerationPlace
    {
        bool valid = false;
        Store store = Store::User;
        int64_t key = 0;
        uint32_t index = 0;
        int64_t rowid = 0;
    } m_place;
    unsigned m_failCountdown = 0;
    int m_failResult = 0;
};

} // namespace platform::registry

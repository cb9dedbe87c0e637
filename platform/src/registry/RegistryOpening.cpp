// Opening the registry database: the checks a file must pass (integrity, schema version and
// tables), the read-only fallback, moving unusable files aside with a notice, and the orderly
// close at the end of the run.
#include "RegistryDatabase.h"

#include "FaultLayer.h"

#include "platform/DeviceProfile.h"
#include "platform/clock.h"
#include "platform/files.h"
#include "platform/registry.h"
#include "platform/text.h"
#include "platform/windows.h"

#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <vector>

namespace platform::registry {

namespace {

constexpr int kSchemaVersion = 1;

// Results that say the file or its folder may not be written by this process.
bool isNotWritable(int result)
{
    int primary = result & 0xFF;
    return primary == SQLITE_READONLY || primary == SQLITE_CANTOPEN || primary == SQLITE_PERM ||
           primary == SQLITE_AUTH;
}

// A path as an SQLite URI, for the parameters only a URI can carry. An absolute path gets an
// empty authority, so that one beginning with "//" is not read as a host name.
std::string uriOf(const std::string& path)
{
    std::string uri = !path.empty() && path.front() == '/' ? "file://" : "file:";
    for (char c : path) {
        if (c == '?' || c == '#' || c == '%') {
            char escaped[4];
            std::snprintf(escaped, sizeof escaped, "%%%02X", static_cast<unsigned char>(c));
            uri += escaped;
        } else {
            uri += c;
        }
    }
    return uri;
}

std::string columnText(sqlite3_stmt* s, int column)
{
    const unsigned char* text = sqlite3_column_text(s, column);
    return text ? reinterpret_cast<const char*>(text) : "";
}

} // namespace

RegistryDatabase::OpenResult RegistryDatabase::checkIntegrity(OpenMode mode, std::string& problem,
                                                              DWORD& error)
{
    // A file of another kind fails here with SQLITE_NOTADB; a damaged one reports its faults.
    // The full check, with index contents: an index that lost a row would hide a record from
    // the enumeration and let its id be handed out again. The database is small.
    sqlite3_stmt* check = nullptr;
    int result = sqlite3_prepare_v2(m_db, "PRAGMA integrity_check", -1, &check, nullptr);
    if (result == SQLITE_OK) {
        result = sqlite3_step(check);
        if (result == SQLITE_ROW) {
            std::string verdict = columnText(check, 0);
            if (verdict != "ok") {
                sqlite3_finalize(check);
                problem = "integrity check: " + verdict;
                // A page that could not be read says nothing about what the file holds.
                if (verdict.find("error code=") != std::string::npos) {
                    error = ERROR_WRITE_FAULT;
                    m_lastFailure = SQLITE_IOERR_READ;
                    return OpenResult::Failed;
                }
                return OpenResult::Damaged;
            }
            result = SQLITE_OK;
        }
    }
    sqlite3_finalize(check);
    if (result == SQLITE_OK || result == SQLITE_DONE)
        return OpenResult::Ok;
    problem = sqlite3_errmsg(m_db);
    error = errorFor(sqlite3_extended_errcode(m_db));
    if (isDamage(result))
        return OpenResult::Damaged;
    // A folder that cannot take the log and lock files fails the first read.
    return mode == OpenMode::ReadWrite && isNotWritable(result) ? OpenResult::NotWritable
                                                                : OpenResult::Failed;
}

RegistryDatabase::OpenResult RegistryDatabase::checkSchema(std::string& problem, int& version)
{
    sqlite3_stmt* s = nullptr;
    version = 0;
    if (sqlite3_prepare_v2(m_db, "PRAGMA main.user_version", -1, &s, nullptr) == SQLITE_OK &&
        sqlite3_step(s) == SQLITE_ROW)
        version = sqlite3_column_int(s, 0);
    sqlite3_finalize(s);
    s = nullptr;
    if (version > kSchemaVersion) {
        problem = "schema version " + std::to_string(version) + ", this program knows " +
                  std::to_string(kSchemaVersion);
        return OpenResult::Newer;
    }
    std::vector<std::string> tables;
    if (sqlite3_prepare_v2(m_db,
                           "SELECT name FROM main.sqlite_master WHERE type='table' AND name NOT "
                           "LIKE 'sqlite\\_%' ESCAPE '\\'",
                           -1, &s, nullptr) == SQLITE_OK) {
        while (sqlite3_step(s) == SQLITE_ROW)
            tables.push_back(columnText(s, 0));
    }
    sqlite3_finalize(s);
    s = nullptr;
    if (version != kSchemaVersion && version != 0) {
        problem = "unknown schema version " + std::to_string(version);
        return OpenResult::Foreign;
    }
    // Our two tables, or some of them (a first start cut short); nothing else. Version 0 with
    // our tables is such a first start too: the version is written after the tables.
    if (version == kSchemaVersion && tables.empty()) {
        problem = "its tables are missing";
        return OpenResult::Foreign;
    }
    for (const std::string& table : tables) {
        const char* probe = nullptr;
        if (sqlite3_stricmp(table.c_str(), "keys") == 0)
            probe = "SELECT id, parent, name FROM main.keys LIMIT 0";
        else if (sqlite3_stricmp(table.c_str(), "vals") == 0)
            probe = "SELECT key, name, type, data FROM main.vals LIMIT 0";
        bool ours = probe && sqlite3_prepare_v2(m_db, probe, -1, &s, nullptr) == SQLITE_OK;
        sqlite3_finalize(s);
        s = nullptr;
        if (!ours) {
            problem = "table \"" + table + "\" is not one of this program's";
            return OpenResult::Foreign;
        }
    }
    return OpenResult::Ok;
}

bool RegistryDatabase::hasOrderIndex()
{
    // Files of earlier versions of the program may lack the index of values in order.
    sqlite3_stmt* s = nullptr;
    bool found = sqlite3_prepare_v2(m_db,
                                    "SELECT 1 FROM main.sqlite_master WHERE type='index' AND "
                                    "name='vals_order'",
                                    -1, &s, nullptr) == SQLITE_OK &&
                 sqlite3_step(s) == SQLITE_ROW;
    sqlite3_finalize(s);
    return found;
}

RegistryDatabase::OpenResult RegistryDatabase::tryOpen(const std::string& path, OpenMode mode,
                                                       std::string& problem, DWORD& error)
{
    std::error_code ec;
    bool exists = path != ":memory:" && std::filesystem::exists(path, ec);
    if (mode == OpenMode::ReadWrite && m_refuseWrites && exists) {
        problem = "the file may not be written";
        error = ERROR_ACCESS_DENIED;
        return OpenResult::NotWritable;
    }
    // Read-only through the URI, not the flags: the flags would make the attached in-memory
    // machine store read-only as well.
    int flags = SQLITE_OPEN_NOMUTEX | SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE;
    // The path is a plain file name: one that begins with "file:" names a file in a folder
    // "file:", never a URI with parameters (SQLite may read names as URIs whatever the flags).
    std::string name = path.rfind("file:", 0) == 0 ? "./" + path : path;
    if (mode == OpenMode::ReadOnly || mode == OpenMode::Immutable) {
        flags |= SQLITE_OPEN_URI;
        name = uriOf(path) + (mode == OpenMode::Immutable ? "?mode=ro&immutable=1" : "?mode=ro");
    } else if (mode == OpenMode::Private) {
        flags &= ~SQLITE_OPEN_CREATE;
    }
    int result = sqlite3_open_v2(name.c_str(), &m_db, flags, faultLayerVfs());
    if (result != SQLITE_OK) {
        problem = m_db ? sqlite3_errmsg(m_db) : sqlite3_errstr(result);
        error = errorFor(result);
        if (isDamage(result))
            return OpenResult::Damaged;
        return mode == OpenMode::ReadWrite && exists && isNotWritable(result)
                   ? OpenResult::NotWritable
                   : OpenResult::Failed;
    }
    sqlite3_busy_handler(m_db, waitForLock, this);
    if (mode == OpenMode::Private) {
        // Set before the first read, the exclusive mode keeps the log's index in memory; and
        // nothing of this file is written, not even at the close.
        sqlite3_db_config(m_db, SQLITE_DBCONFIG_NO_CKPT_ON_CLOSE, 1, nullptr);
        error = exec("PRAGMA main.locking_mode=EXCLUSIVE");
        if (error != ERROR_SUCCESS) {
            problem = sqlite3_errmsg(m_db);
            return OpenResult::Failed;
        }
    }
    // A write-protected file opens for reading only, without an error.
    if (mode == OpenMode::ReadWrite && sqlite3_db_readonly(m_db, "main") == 1) {
        problem = "the file is write-protected";
        error = ERROR_ACCESS_DENIED;
        return OpenResult::NotWritable;
    }
    OpenResult checked = checkIntegrity(mode, problem, error);
    if (checked == OpenResult::NotWritable && !exists)
        checked = OpenResult::Failed;
    if (checked != OpenResult::Ok)
        return checked;
    int version = 0;
    checked = checkSchema(problem, version);
    if (checked != OpenResult::Ok)
        return checked;

    // A file of this version is complete: opening it writes nothing, so that another program's
    // lock on writing does not keep the records from being read.
    std::string schema = std::string("PRAGMA journal_mode=WAL; PRAGMA synchronous=") +
                         (m_syncWrites ? "FULL;" : "OFF;");
    if (version != kSchemaVersion || !hasOrderIndex())
        schema += "CREATE TABLE IF NOT EXISTS main.keys(id INTEGER PRIMARY KEY, parent INTEGER,"
                  " name TEXT COLLATE NOCASE, UNIQUE(parent, name));"
                  "CREATE TABLE IF NOT EXISTS main.vals(key INTEGER, name TEXT COLLATE NOCASE,"
                  " type INTEGER, data BLOB, PRIMARY KEY(key, name));"
                  // A key's values in rowid order (the order of enumeration) without a sort.
                  "CREATE INDEX IF NOT EXISTS main.vals_order ON vals(key);"
                  "PRAGMA main.user_version=" +
                  std::to_string(kSchemaVersion) + ";";
    if (mode == OpenMode::ReadWrite) {
        error = exec(schema.c_str());
        if (error != ERROR_SUCCESS) {
            problem = sqlite3_errmsg(m_db);
            if (m_damaged)
                return OpenResult::Damaged;
            // A full disk leaves the records readable: nothing may be written, as in a
            // write-protected file.
            int code = sqlite3_extended_errcode(m_db);
            return exists && (isNotWritable(code) || (code & 0xFF) == SQLITE_FULL)
                       ? OpenResult::NotWritable
                       : OpenResult::Failed;
        }
    }
    error = exec("ATTACH ':memory:' AS hklm;"
                 "CREATE TABLE hklm.keys(id INTEGER PRIMARY KEY, parent INTEGER,"
                 " name TEXT COLLATE NOCASE, UNIQUE(parent, name));"
                 "CREATE TABLE hklm.vals(key INTEGER, name TEXT COLLATE NOCASE,"
                 " type INTEGER, data BLOB, PRIMARY KEY(key, name));"
                 "CREATE INDEX hklm.vals_order ON vals(key);");
    if (error != ERROR_SUCCESS) {
        problem = sqlite3_errmsg(m_db);
        return OpenResult::Failed;
    }
    return OpenResult::Ok;
}

namespace {

// Results that say the shared-memory file could not be made or grown: no room for it.
bool isNoRoom(int result)
{
    return (result & 0xFF) == SQLITE_FULL || result == SQLITE_IOERR_SHMSIZE ||
           result == SQLITE_IOERR_SHMOPEN || result == SQLITE_IOERR_SHMMAP;
}

} // namespace

RegistryDatabase::OpenResult RegistryDatabase::openEither(const std::string& path,
                                                          std::string& problem, DWORD& error)
{
    m_readOnly = false;
    m_lastFailure = 0;
    std::error_code ec;
    const bool existed = path != ":memory:" && std::filesystem::exists(path, ec);
    OpenResult result = tryOpen(path, OpenMode::ReadWrite, problem, error);
    // Records that were there can be read on a full disk; at the first start there are none.
    const bool noRoom = result == OpenResult::Failed && isNoRoom(m_lastFailure) && existed;
    if (result != OpenResult::NotWritable && !noRoom)
        return result;
    std::string why = noRoom ? "the disk is full" : problem;
    close();
    result = tryOpen(path, OpenMode::ReadOnly, problem, error);
    // Without room for the shared-memory file, the log is read into memory instead.
    if (result == OpenResult::Failed) {
        close();
        result = tryOpen(path, OpenMode::Private, problem, error);
    }
    // Without a log to read, a folder that cannot take the lock files is no obstacle.
    if (result == OpenResult::Failed && !std::filesystem::exists(path + "-wal", ec)) {
        close();
        result = tryOpen(path, OpenMode::Immutable, problem, error);
    }
    if (result == OpenResult::Ok) {
        m_readOnly = true;
        noticeReadOnly(path, why);
    }
    return result;
}

RegistryDatabase::OpenResult RegistryDatabase::openRetrying(const std::string& path,
                                                            std::string& problem, DWORD& error)
{
    constexpr int kTries = 3;
    OpenResult result = OpenResult::Failed;
    for (int attempt = 0; attempt < kTries; ++attempt) {
        if (attempt > 0)
            close();
        result = openEither(path, problem, error);
        bool readFailed = result == OpenResult::Failed && (m_lastFailure & 0xFF) == SQLITE_IOERR;
        if (result != OpenResult::Damaged && !readFailed)
            break;
    }
    return result;
}

int RegistryDatabase::waitForLock(void* self, int count)
{
    constexpr int kStepMillis = 5;
    auto* db = static_cast<RegistryDatabase*>(self);
    // Counted on the clock, not in steps: a busy machine oversleeps each step.
    if (count == 0)
        db->m_lockWaitStart = platform::monotonicMillis();
    if (db->m_lockedOut ||
        platform::monotonicMillis() - db->m_lockWaitStart + kStepMillis > db->m_lockWaitMs) {
        db->m_lockedOut = true;
        return 0;
    }
    platform::waitMillis(kStepMillis);
    return 1;
}

void RegistryDatabase::noticeReadOnly(const std::string& path, const std::string& reason)
{
    noticeNotSaved(path, "The records file " + path + " can be read but not written (" + reason +
                             "). The game goes on with the records it holds; nothing is saved "
                             "in this run.");
}

void RegistryDatabase::noticeNotSaved(const std::string& path, const std::string& text)
{
    if (m_notSavedNotice == path)
        return;
    m_notSavedNotice = path;
    std::u16string wide;
    platform::utf8ToUtf16(text, wide);
    MessageBoxW(nullptr, wide.c_str(), u"Pallasterhorn", MB_OK);
}

void RegistryDatabase::noticeCannotOpen(const std::string& path, const std::string& reason)
{
    noticeNotSaved(path, "The records file " + path + " cannot be opened (" + reason +
                             "). The game goes on without the records; nothing is saved in this "
                             "run, and the file is left as it is.");
}

namespace {

// A free name: `base`, else `base` with "-2", "-3", ... before `ending`.
std::string freeName(const std::string& base, const std::string& ending)
{
    std::error_code ec;
    std::string target = base + ending;
    for (int n = 2; std::filesystem::exists(target, ec) || std::filesystem::is_symlink(target, ec);
         ++n)
        target = base + "-" + std::to_string(n) + ending;
    return target;
}

} // namespace

bool RegistryDatabase::moveAside(const std::string& path, OpenResult why, const std::string& reason)
{
    namespace fs = std::filesystem;
    const char* kind = why == OpenResult::Newer     ? "newer"
                       : why == OpenResult::Foreign ? "foreign"
                                                    : "damaged";
    char stamp[32];
    std::time_t now = std::time(nullptr);
    std::tm utc{};
    gmtime_r(&now, &utc);
    std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &utc);
    // Beside the file under its own name with the reason added; when that name is too long
    // for the folder, under a short one in the same folder. The player's file is never removed.
    std::string target = freeName(path + "." + kind + "-" + stamp, "");
    std::error_code ec;
    fs::rename(path, target, ec);
    if (ec) {
        const fs::path folder = fs::path(path).parent_path();
        target =
            freeName((folder / (std::string("records-") + kind + "-" + stamp)).string(), ".sqlite");
        std::error_code again;
        fs::rename(path, target, again);
        if (!again)
            ec.clear();
    }
    std::string outcome;
    if (!ec) {
        outcome = "It was moved to " + target + " and a new one is started.";
        std::error_code ignored;
        if (fs::exists(path + "-wal", ignored))
            fs::rename(path + "-wal", target + "-wal", ignored);
        fs::remove(path + "-shm", ignored);
    } else {
        outcome = "It could not be moved (" + ec.message() +
                  ") and is left as it is; the game goes on without the records, and nothing is "
                  "saved in this run.";
        m_notSavedNotice = path; // said here: no second notice for the same file
    }
    std::string what = why == OpenResult::Newer     ? "was made by a newer version of the game"
                       : why == OpenResult::Foreign ? "is not a records file of this game"
                                                    : "is damaged";
    std::string text = "The records file " + path + " " + what + " (" + reason + "). " + outcome;
    std::u16string wide;
    platform::utf8ToUtf16(text, wide);
    MessageBoxW(nullptr, wide.c_str(), u"Pallasterhorn", MB_ICONERROR);
    return !ec;
}

namespace {

// A records file is a regular file or not there yet. A device, a pipe or a folder in its place,
// or a link to nothing (whose target the database would make somewhere else), is not opened:
// the database would write its log beside whatever the link names.
bool placeIsAFile(const std::string& path, std::string& problem, DWORD& error)
{
    struct stat target
    {
    };
    if (::stat(path.c_str(), &target) == 0) {
        if (S_ISREG(target.st_mode))
            return true;
        problem = S_ISDIR(target.st_mode) ? "a folder is in its place" : "it is not a regular file";
        error = ERROR_ACCESS_DENIED;
        return false;
    }
    struct stat link
    {
    };
    if (errno == ENOENT && ::lstat(path.c_str(), &link) == 0) {
        problem = "it is a link to nothing";
        error = ERROR_PATH_NOT_FOUND;
        return false;
    }
    return true; // absent (a first start), or a failure the opening itself reports
}

void shutdownAtExit()
{
    RegistryDatabase& db = RegistryDatabase::instance();
    // A thread still inside a registry call at exit keeps its connection: waiting could hang.
    if (!db.mutex().try_lock())
        return;
    db.shutdown();
    db.mutex().unlock();
}

} // namespace

DWORD RegistryDatabase::openAt(const std::string& path)
{
    if (path != ":memory:") {
        std::error_code ec;
        std::filesystem::path folder = std::filesystem::path(path).parent_path();
        if (!folder.empty())
            std::filesystem::create_directories(folder, ec);
        if (ec) {
            if (m_failedPath != path) {
                std::fprintf(stderr,
                             "pallasterhorn: cannot create the registry folder %s (%s); records "
                             "are not kept\n",
                             folder.c_str(), ec.message().c_str());
                noticeCannotOpen(path, "its folder cannot be made: " + ec.message());
            }
            m_failedPath = path;
            m_failedError = ERROR_PATH_NOT_FOUND;
            return ERROR_PATH_NOT_FOUND;
        }
    }
    std::string problem;
    DWORD error = ERROR_SUCCESS;
    OpenResult result = path == ":memory:" || placeIsAFile(path, problem, error)
                            ? openRetrying(path, problem, error)
                            : OpenResult::Failed;
    if ((result == OpenResult::Damaged || result == OpenResult::Foreign ||
         result == OpenResult::Newer) &&
        path != ":memory:") {
        close();
        if (moveAside(path, result, problem)) {
            result = openRetrying(path, problem, error);
        } else {
            result = OpenResult::Failed;
            error = ERROR_BADDB;
        }
    }
    if (result != OpenResult::Ok) {
        if (m_failedPath != path) {
            std::fprintf(stderr, "pallasterhorn: cannot open the registry database %s (%s)\n",
                         path.c_str(), problem.c_str());
            noticeCannotOpen(path, problem);
        }
        // As the notice says: not tried again in this run, so that no later call waits for the
        // file again or saves over records this run never read.
        m_failedPath = path;
        m_failedError = error != ERROR_SUCCESS ? error : ERROR_WRITE_FAULT;
        close();
        return m_failedError;
    }
    m_failedPath.clear();
    m_path = path;
    m_damaged = false;
    m_openedBy = static_cast<long>(getpid());
    struct stat st
    {
    };
    m_device = m_inode = 0;
    std::error_code ec;
    // Absolute, so that a change of the working folder is not taken for another file.
    m_absolutePath = path == ":memory:" ? path : std::filesystem::absolute(path, ec).string();
    if (path != ":memory:" && ::stat(m_absolutePath.c_str(), &st) == 0) {
        m_device = st.st_dev;
        m_inode = st.st_ino;
    }
    ++m_generation;
    static bool exitHookSet = false;
    if (!exitHookSet) {
        exitHookSet = true;
        std::atexit(shutdownAtExit);
    }
    return seedMachine();
}

bool RegistryDatabase::replacedUnderneath() const
{
    if (m_path == ":memory:" || m_inode == 0)
        return false;
    struct stat st
    {
    };
    return ::stat(m_absolutePath.c_str(), &st) != 0 ||
           static_cast<uint64_t>(st.st_dev) != m_device ||
           static_cast<uint64_t>(st.st_ino) != m_inode;
}

DWORD RegistryDatabase::reconnect()
{
    const std::string path = m_path;
    const uint64_t generation = m_generation;
    rollback();
    // The log stays as the failed write left it, for the opening to read as a restart would.
    sqlite3_db_config(m_db, SQLITE_DBCONFIG_NO_CKPT_ON_CLOSE, 1, nullptr);
    close();
    DWORD error = openAt(path);
    if (error == ERROR_SUCCESS)
        m_generation = generation; // the same file: its keys keep their ids
    return error;
}

void RegistryDatabase::shutdown()
{
    // Only the process that opened the connection may use it (a forked child inherits it).
    if (m_db && m_openedBy == static_cast<long>(getpid())) {
        if (!m_readOnly)
            sqlite3_wal_checkpoint_v2(m_db, "main", SQLITE_CHECKPOINT_TRUNCATE, nullptr, nullptr);
        close();
    }
}

DWORD RegistryDatabase::seedMachine()
{
    bool touch = DeviceProfile::current().touchDriver;
    m_seededTouch = touch;
    DWORD error = exec("DELETE FROM hklm.vals; DELETE FROM hklm.keys;");
    if (error != ERROR_SUCCESS || !touch)
        return error;
    int64_t id = 0;
    for (const char* name : {"HARDWARE", "DEVICEMAP", "TOUCH"}) {
        error = createChild(Store::Machine, id, name, id);
        if (error != ERROR_SUCCESS)
            return error;
    }
    static const char16_t driver[] = u"touch.dll";
    return setValue(Store::Machine, id, "DriverName", REG_SZ, driver, sizeof driver);
}

DWORD RegistryDatabase::ready()
{
    const DeviceProfile& profile = DeviceProfile::current();
    if (m_db && !m_damaged && profile.registryPath == m_path) {
        if (replacedUnderneath())
            return reopenReplaced();
        if (profile.touchDriver != m_seededTouch)
            return seedMachine();
        return ERROR_SUCCESS;
    }
    if (m_db && m_damaged && profile.registryPath == m_path && m_path != ":memory:") {
        std::string path = m_path;
        close();
        if (!moveAside(path, OpenResult::Damaged, "damage found while in use")) {
            m_failedPath = path;
            m_failedError = ERROR_BADDB;
            return ERROR_BADDB;
        }
        return openAt(path);
    }
    if (!m_db && !m_failedPath.empty() && profile.registryPath == m_failedPath)
        return m_failedError;
    close();
    return openAt(profile.registryPath);
}

DWORD RegistryDatabase::reopenReplaced()
{
    const std::string path = m_path;
    // What this run wrote stays in the file it wrote to; its log at the path is written into
    // that file and removed, so that it is never read as part of the file now there.
    shutdown();
    close();
    DWORD error = openAt(path);
    std::string text =
        "The records file " + path + " was removed or replaced while the game was running. ";
    text += error == ERROR_SUCCESS
                ? "Records are saved from now on to the file now there; what was saved before "
                  "went to the removed file."
                : "Records cannot be saved in this run.";
    std::u16string wide;
    platform::utf8ToUtf16(text, wide);
    MessageBoxW(nullptr, wide.c_str(), u"Pallasterhorn", MB_OK);
    return error;
}

} // namespace platform::registry

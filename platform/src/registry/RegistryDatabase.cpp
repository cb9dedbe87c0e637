// The statements of the registry over an open database, with fault injection and the damage
// they notice.
#include "RegistryDatabase.h"

#include "platform/files.h"
#include "platform/registry.h"

#include <sqlite3.h>

#include <cstdio>

namespace platform::registry {

namespace {

const char* const kSchemaNames[2] = {"main", "hklm"};

} // namespace

bool RegistryDatabase::isDamage(int result)
{
    int primary = result & 0xFF;
    return primary == SQLITE_CORRUPT || primary == SQLITE_NOTADB;
}

RegistryDatabase& RegistryDatabase::instance()
{
    // Never destroyed: keys may still be closed by static destructors at exit.
    static RegistryDatabase* database = new RegistryDatabase;
    return *database;
}

DWORD RegistryDatabase::errorFor(int result)
{
    if ((result & 0xFF) != SQLITE_OK && (result & 0xFF) != SQLITE_ROW &&
        (result & 0xFF) != SQLITE_DONE)
        m_lastFailure = result;
    switch (result & 0xFF) {
    case SQLITE_OK:
    case SQLITE_DONE:
    case SQLITE_ROW:
        return ERROR_SUCCESS;
    case SQLITE_FULL:
        return ERROR_DISK_FULL;
    case SQLITE_READONLY:
        return ERROR_ACCESS_DENIED;
    case SQLITE_CORRUPT:
    case SQLITE_NOTADB:
        return ERROR_BADDB;
    default:
        return ERROR_WRITE_FAULT;
    }
}

int RegistryDatabase::step(sqlite3_stmt* s)
{
    int result;
    if (m_failCountdown > 0 && --m_failCountdown == 0)
        result = m_failResult;
    else
        result = sqlite3_step(s);
    if (isDamage(result))
        m_damaged = true;
    return result;
}

DWORD RegistryDatabase::writeResult(DWORD error)
{
    if ((error == ERROR_DISK_FULL || error == ERROR_WRITE_FAULT) && !m_path.empty()) {
        int primary = m_lastFailure & 0xFF;
        const char* why = error == ERROR_DISK_FULL ? "the disk is full"
                          : primary == SQLITE_BUSY || primary == SQLITE_LOCKED
                              ? "another program holds it locked"
                              : "the file could not be written to";
        noticeNotSaved(m_path, "The records file " + m_path + " could not be written (" + why +
                                   "). The game goes on; what was not saved is lost, and "
                                   "later changes are saved again once that is mended.");
    }
    return error;
}

bool RegistryDatabase::outcomeUnknown(DWORD error) const
{
    return error == ERROR_WRITE_FAULT && (m_lastFailure & 0xFF) == SQLITE_IOERR && m_db &&
           m_path != ":memory:";
}

void RegistryDatabase::failNthStatement(unsigned n, int sqliteResult)
{
    m_failCountdown = n;
    m_failResult = sqliteResult;
}

DWORD RegistryDatabase::exec(const char* sql)
{
    sqlite3_stmt* s = nullptr;
    const char* rest = sql;
    while (rest && *rest) {
        int result = sqlite3_prepare_v2(m_db, rest, -1, &s, &rest);
        if (result != SQLITE_OK) {
            if (isDamage(result))
                m_damaged = true;
            return errorFor(result);
        }
        if (!s)
            break;
        do
            result = step(s);
        while (result == SQLITE_ROW);
        sqlite3_finalize(s);
        if (result != SQLITE_DONE)
            return errorFor(result);
    }
    return ERROR_SUCCESS;
}

void RegistryDatabase::close()
{
    for (auto& row : m_statements) {
        for (sqlite3_stmt*& s : row) {
            sqlite3_finalize(s);
            s = nullptr;
        }
    }
    if (m_db)
        sqlite3_close_v2(m_db);
    m_db = nullptr;
    m_path.clear();
    m_damaged = false;
    m_readOnly = false;
    m_place.valid = false;
    ++m_generation;
}

void RegistryDatabase::forget()
{
    close();
    m_failedPath.clear();
    m_lockedOut = false;
}

bool RegistryDatabase::emptyInMemory()
{
    if (!m_db || m_damaged || m_path != ":memory:" ||
        exec("DELETE FROM main.vals; DELETE FROM main.keys;") != ERROR_SUCCESS)
        return false;
    m_place.valid = false;
    ++m_generation; // keys opened before name rows that are gone
    return true;
}

sqlite3_stmt* RegistryDatabase::statement(Store store, Kind kind)
{
    sqlite3_stmt*& s = m_statements[static_cast<int>(store)][kind];
    if (s) {
        sqlite3_reset(s);
        sqlite3_clear_bindings(s);
        return s;
    }
    static const char* const sql[KindCount] = {
        "SELECT id FROM %s.keys WHERE parent=?1 AND name=?2",
        "INSERT INTO %s.keys(parent, name) VALUES(?1, ?2)",
        "SELECT name, type, data FROM %s.vals WHERE key=?1 AND name=?2",
        // An update in place keeps the value's rowid, and with it its place in enumerations.
        ("INSERT INTO %s.vals(key, name, type, data) VALUES(?1, ?2, ?3, ?4)"
         " ON CONFLICT(key, name) DO UPDATE SET type=excluded.type, data=excluded.data"),
        "SELECT name, type, data, rowid FROM %s.vals WHERE key=?1 ORDER BY rowid LIMIT 1"
        " OFFSET ?2",
        "SELECT name, type, data, rowid FROM %s.vals WHERE key=?1 AND rowid>?2 ORDER BY rowid"
        " LIMIT 1",
        "SELECT name FROM %s.keys WHERE parent=?1",
        "SELECT name, length(data) FROM %s.vals WHERE key=?1",
    };
    char text[256];
    std::snprintf(text, sizeof text, sql[kind], kSchemaNames[static_cast<int>(store)]);
    if (sqlite3_prepare_v3(m_db, text, -1, SQLITE_PREPARE_PERSISTENT, &s, nullptr) != SQLITE_OK) {
        sqlite3_finalize(s);
        s = nullptr;
    }
    return s;
}

DWORD RegistryDatabase::findChild(Store store, int64_t parent, const std::string& name, int64_t& id)
{
    sqlite3_stmt* s = statement(store, FindChild);
    if (!s)
        return ERROR_WRITE_FAULT;
    sqlite3_bind_int64(s, 1, parent);
    sqlite3_bind_text(s, 2, name.data(), static_cast<int>(name.size()), SQLITE_TRANSIENT);
    int result = step(s);
    if (result == SQLITE_ROW) {
        id = sqlite3_column_int64(s, 0);
        sqlite3_reset(s);
        return ERROR_SUCCESS;
    }
    sqlite3_reset(s);
    return result == SQLITE_DONE ? ERROR_FILE_NOT_FOUND : errorFor(result);
}

DWORD RegistryDatabase::createChild(Store store, int64_t parent, const std::string& name,
                                    int64_t& id)
{
    if (m_readOnly && store == Store::User)
        return ERROR_ACCESS_DENIED;
    sqlite3_stmt* s = statement(store, CreateChild);
    if (!s)
        return ERROR_WRITE_FAULT;
    sqlite3_bind_int64(s, 1, parent);
    sqlite3_bind_text(s, 2, name.data(), static_cast<int>(name.size()), SQLITE_TRANSIENT);
    int result = step(s);
    sqlite3_reset(s);
    if (result != SQLITE_DONE)
        return errorFor(result);
    id = sqlite3_last_insert_rowid(m_db);
    return ERROR_SUCCESS;
}

DWORD RegistryDatabase::begin()
{
    return exec("BEGIN IMMEDIATE");
}

DWORD RegistryDatabase::commit()
{
    DWORD error = exec("COMMIT");
    if (error == ERROR_SUCCESS)
        m_lockedOut = false; // whatever held the file let go of it
    return error;
}

void RegistryDatabase::rollback()
{
    if (m_db && !sqlite3_get_autocommit(m_db))
        sqlite3_exec(m_db, "ROLLBACK", nullptr, nullptr, nullptr);
}

namespace {

void readValueRow(sqlite3_stmt* s, ValueRecord& out)
{
    const unsigned char* name = sqlite3_column_text(s, 0);
    out.name = name ? reinterpret_cast<const char*>(name) : "";
    out.type = static_cast<DWORD>(sqlite3_column_int64(s, 1));
    const void* data = sqlite3_column_blob(s, 2);
    int size = sqlite3_column_bytes(s, 2);
    out.data.assign(static_cast<const char*>(data), data ? static_cast<size_t>(size) : 0);
}

} // namespace

DWORD RegistryDatabase::getValue(Store store, int64_t key, const std::string& name,
                                 ValueRecord& out)
{
    sqlite3_stmt* s = statement(store, GetValue);
    if (!s)
        return ERROR_WRITE_FAULT;
    sqlite3_bind_int64(s, 1, key);
    sqlite3_bind_text(s, 2, name.data(), static_cast<int>(name.size()), SQLITE_TRANSIENT);
    int result = step(s);
    if (result == SQLITE_ROW)
        readValueRow(s, out);
    sqlite3_reset(s);
    if (result == SQLITE_ROW)
        return ERROR_SUCCESS;
    return result == SQLITE_DONE ? ERROR_FILE_NOT_FOUND : errorFor(result);
}

DWORD RegistryDatabase::setValue(Store store, int64_t key, const std::string& name, DWORD type,
                                 const void* data, size_t size)
{
    m_place.valid = false;
    // A file read without its shared memory is open for writing, but must not be written.
    if (m_readOnly && store == Store::User)
        return ERROR_ACCESS_DENIED;
    sqlite3_stmt* s = statement(store, SetValue);
    if (!s)
        return ERROR_WRITE_FAULT;
    sqlite3_bind_int64(s, 1, key);
    sqlite3_bind_text(s, 2, name.data(), static_cast<int>(name.size()), SQLITE_TRANSIENT);
    sqlite3_bind_int64(s, 3, type);
    // An empty value is an empty blob, not NULL.
    sqlite3_bind_blob(s, 4, size ? data : "", static_cast<int>(size), SQLITE_TRANSIENT);
    int result = step(s);
    sqlite3_reset(s);
    if (result != SQLITE_DONE)
        return errorFor(result);
    if (store == Store::User && sqlite3_get_autocommit(m_db))
        m_lockedOut = false;
    return ERROR_SUCCESS;
}

DWORD RegistryDatabase::valueAt(Store store, int64_t key, uint32_t index, ValueRecord& out)
{
    bool follows =
        m_place.valid && m_place.store == store && m_place.key == key && index == m_place.index + 1;
    sqlite3_stmt* s = statement(store, follows ? ValueAfter : ValueAt);
    if (!s)
        return ERROR_WRITE_FAULT;
    sqlite3_bind_int64(s, 1, key);
    sqlite3_bind_int64(s, 2, follows ? m_place.rowid : static_cast<int64_t>(index));
    int result = step(s);
    m_place.valid = false;
    if (result == SQLITE_ROW) {
        readValueRow(s, out);
        m_place = {true, store, key, index, sqlite3_column_int64(s, 3)};
    }
    sqlite3_reset(s);
    if (result == SQLITE_ROW)
        return ERROR_SUCCESS;
    return result == SQLITE_DONE ? ERROR_NO_MORE_ITEMS : errorFor(result);
}

DWORD RegistryDatabase::keyInfo(Store store, int64_t key, KeyInfo& out)
{
    out = KeyInfo{};
    for (Kind kind : {SubKeyNames, ValueNames}) {
        sqlite3_stmt* s = statement(store, kind);
        if (!s)
            return ERROR_WRITE_FAULT;
        sqlite3_bind_int64(s, 1, key);
        int result;
        while ((result = step(s)) == SQLITE_ROW) {
            const unsigned char* name = sqlite3_column_text(s, 0);
            std::string text = name ? reinterpret_cast<const char*>(name) : "";
            if (kind == SubKeyNames) {
                out.subKeyNames.push_back(text);
            } else {
                out.valueNames.push_back(text);
                size_t size = static_cast<size_t>(sqlite3_column_int64(s, 1));
                if (size > out.maxValueSize)
                    out.maxValueSize = size;
            }
        }
        sqlite3_reset(s);
        if (result != SQLITE_DONE)
            return errorFor(result);
    }
    return ERROR_SUCCESS;
}

} // namespace platform::registry

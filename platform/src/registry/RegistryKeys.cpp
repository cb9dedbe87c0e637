// The registry calls over RegistryDatabase: handles, paths, names and buffer rules.
#include "RegistryDatabase.h"

#include "platform/registry.h"
#include "platform/text.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <string_view>
#include <unordered_map>
#include <vector>

using platform::registry::KeyInfo;
using platform::registry::RegistryDatabase;
using platform::registry::Store;
using platform::registry::ValueRecord;

namespace {

constexpr size_t kMaxNameUnits = 255;

struct OpenKey
{
    Store store;
    int64_t id;
    uint64_t generation;
};

struct Handles
{
    std::unordered_map<uintptr_t, OpenKey> keys;
    uintptr_t next = 0x1000;
};

Handles& handles()
{
    static Handles* h = new Handles;
    return *h;
}

bool isPredefined(HKEY key)
{
    return key == HKEY_CURRENT_USER || key == HKEY_LOCAL_MACHINE;
}

// Opens the database when needed and finds what `key` stands for.
LONG resolve(HKEY key, OpenKey& out)
{
    RegistryDatabase& db = RegistryDatabase::instance();
    if (!key)
        return ERROR_INVALID_HANDLE;
    DWORD ready = db.ready();
    if (ready != ERROR_SUCCESS)
        return static_cast<LONG>(ready);
    if (key == HKEY_CURRENT_USER) {
        out = {Store::User, 0, db.generation()};
        return ERROR_SUCCESS;
    }
    if (key == HKEY_LOCAL_MACHINE) {
        out = {Store::Machine, 0, db.generation()};
        return ERROR_SUCCESS;
    }
    auto it = handles().keys.find(reinterpret_cast<uintptr_t>(key));
    if (it == handles().keys.end() || it->second.generation != db.generation())
        return ERROR_INVALID_HANDLE;
    out = it->second;
    return ERROR_SUCCESS;
}

HKEY newHandle(const OpenKey& key)
{
    Handles& h = handles();
    h.next += 4;
    h.keys[h.next] = key;
    return reinterpret_cast<HKEY>(h.next);
}

// UTF-16 name of at most 255 units (a null name is the empty one) as UTF-8.
LONG convertName(LPCWSTR name, std::string& out)
{
    std::u16string_view text = name ? std::u16string_view(name) : std::u16string_view();
    if (text.size() > kMaxNameUnits || !platform::utf16ToUtf8(text, out))
        return ERROR_INVALID_PARAMETER;
    return ERROR_SUCCESS;
}

// Path components split at "\"; empty components and over-long names are refused.
LONG splitPath(LPCWSTR path, std::vector<std::string>& out)
{
    out.clear();
    if (!path || !*path)
        return ERROR_SUCCESS;
    std::u16string_view text(path);
    size_t start = 0;
    while (true) {
        size_t end = text.find(u'\\', start);
        std::u16string_view part =
            text.substr(start, end == std::u16string_view::npos ? end : end - start);
        std::string name;
        if (part.empty() || part.size() > kMaxNameUnits || !platform::utf16ToUtf8(part, name))
            return ERROR_INVALID_PARAMETER;
        out.push_back(std::move(name));
        if (end == std::u16string_view::npos)
            return ERROR_SUCCESS;
        start = end + 1;
    }
}

size_t utf16Length(const std::string& utf8)
{
    std::u16string text;
    return platform::utf8ToUtf16(utf8, text) ? text.size() : 0;
}

// The data rules shared by the query and the enumeration: a size query without a buffer, or a
// copy when the buffer is large enough, else ERROR_MORE_DATA with the size needed.
LONG deliverData(const ValueRecord& value, LPDWORD type, LPBYTE data, LPDWORD dataSize)
{
    if (data && !dataSize)
        return ERROR_INVALID_PARAMETER;
    if (type)
        *type = value.type;
    DWORD size = static_cast<DWORD>(value.data.size());
    if (!dataSize)
        return ERROR_SUCCESS;
    if (data && *dataSize < size) {
        *dataSize = size;
        return ERROR_MORE_DATA;
    }
    if (data && size)
        std::memcpy(data, value.data.data(), size);
    *dataSize = size;
    return ERROR_SUCCESS;
}

// What opening and creating share: the result pointer, the key to start from and the
// sub-key's parts.
LONG startPath(HKEY key, LPCWSTR subKey, PHKEY result, OpenKey& at, std::vector<std::string>& parts)
{
    if (!result)
        return ERROR_INVALID_PARAMETER;
    if (LONG r = resolve(key, at))
        return r;
    return splitPath(subKey, parts);
}

// Follows `parts` down from `at`; false when one is missing or cannot be read.
bool findPath(RegistryDatabase& db, OpenKey at, const std::vector<std::string>& parts,
              OpenKey& found)
{
    for (const std::string& part : parts) {
        if (db.findChild(at.store, at.id, part, at.id) != ERROR_SUCCESS)
            return false;
    }
    found = at;
    return true;
}

} // namespace

LONG RegOpenKeyExW(HKEY key, LPCWSTR subKey, DWORD, REGSAM, PHKEY result)
{
    RegistryDatabase& db = RegistryDatabase::instance();
    std::lock_guard lock(db.mutex());
    OpenKey at{};
    std::vector<std::string> parts;
    if (LONG r = startPath(key, subKey, result, at, parts))
        return r;
    for (const std::string& part : parts) {
        if (DWORD r = db.findChild(at.store, at.id, part, at.id))
            return static_cast<LONG>(r);
    }
    *result = newHandle(at);
    return ERROR_SUCCESS;
}

LONG RegCreateKeyExW(HKEY key, LPCWSTR subKey, DWORD, LPWSTR, DWORD, REGSAM, SECURITY_ATTRIBUTES*,
                     PHKEY result, LPDWORD disposition)
{
    RegistryDatabase& db = RegistryDatabase::instance();
    std::lock_guard lock(db.mutex());
    OpenKey at{};
    std::vector<std::string> parts;
    if (LONG r = startPath(key, subKey, result, at, parts))
        return r;
    if (at.store == Store::Machine)
        return ERROR_ACCESS_DENIED;
    const OpenKey start = at;
    if (DWORD r = db.begin())
        return static_cast<LONG>(db.writeResult(r));
    bool created = false;
    DWORD r = ERROR_SUCCESS;
    for (const std::string& part : parts) {
        r = db.findChild(at.store, at.id, part, at.id);
        if (r == ERROR_FILE_NOT_FOUND) {
            r = db.createChild(at.store, at.id, part, at.id);
            created = true;
        }
        if (r != ERROR_SUCCESS)
            break;
    }
    if (r == ERROR_SUCCESS)
        r = db.commit();
    if (r != ERROR_SUCCESS) {
        db.rollback();
        // Whether an I/O error kept the keys from being stored is read back from the file.
        if (!db.outcomeUnknown(r) || db.reconnect() != ERROR_SUCCESS ||
            !findPath(db, start, parts, at))
            return static_cast<LONG>(db.writeResult(r));
    }
    *result = newHandle(at);
    if (disposition)
        *disposition = created ? REG_CREATED_NEW_KEY : REG_OPENED_EXISTING_KEY;
    return ERROR_SUCCESS;
}

LONG RegQueryValueExW(HKEY key, LPCWSTR valueName, LPDWORD, LPDWORD type, LPBYTE data,
                      LPDWORD dataSize)
{
    RegistryDatabase& db = RegistryDatabase::instance();
    std::lock_guard lock(db.mutex());
    OpenKey at{};
    if (LONG r = resolve(key, at))
        return r;
    std::string name;
    if (LONG r = convertName(valueName, name))
        return r;
    ValueRecord value;
    if (DWORD r = db.getValue(at.store, at.id, name, value))
        return static_cast<LONG>(r);
    return deliverData(value, type, data, dataSize);
}

LONG RegSetValueExW(HKEY key, LPCWSTR valueName, DWORD, DWORD type, const BYTE* data,
                    DWORD dataSize)
{
    RegistryDatabase& db = RegistryDatabase::instance();
    std::lock_guard lock(db.mutex());
    OpenKey at{};
    if (LONG r = resolve(key, at))
        return r;
    std::string name;
    if (LONG r = convertName(valueName, name))
        return r;
    if ((!data && dataSize) || dataSize > INT_MAX)
        return ERROR_INVALID_PARAMETER;
    if (at.store == Store::Machine)
        return ERROR_ACCESS_DENIED;
    DWORD r = db.setValue(at.store, at.id, name, type, data, dataSize);
    // Whether an I/O error kept the value from being stored is read back from the file.
    ValueRecord stored;
    if (db.outcomeUnknown(r) && db.reconnect() == ERROR_SUCCESS &&
        db.getValue(at.store, at.id, name, stored) == ERROR_SUCCESS && stored.type == type &&
        stored.data == std::string_view(reinterpret_cast<const char*>(data), data ? dataSize : 0))
        r = ERROR_SUCCESS;
    return static_cast<LONG>(db.writeResult(r));
}

LONG RegEnumValueW(HKEY key, DWORD index, LPWSTR name, LPDWORD nameLength, LPDWORD, LPDWORD type,
                   LPBYTE data, LPDWORD dataSize)
{
    RegistryDatabase& db = RegistryDatabase::instance();
    std::lock_guard lock(db.mutex());
    OpenKey at{};
    if (LONG r = resolve(key, at))
        return r;
    if (!name || !nameLength)
        return ERROR_INVALID_PARAMETER;
    ValueRecord value;
    if (DWORD r = db.valueAt(at.store, at.id, index, value))
        return static_cast<LONG>(r);
    std::u16string text;
    platform::utf8ToUtf16(value.name, text);
    if (text.size() >= *nameLength)
        return ERROR_MORE_DATA;
    std::memcpy(name, text.data(), text.size() * sizeof(char16_t));
    name[text.size()] = 0;
    *nameLength = static_cast<DWORD>(text.size());
    return deliverData(value, type, data, dataSize);
}

LONG RegEnumKeyExW(HKEY key, DWORD index, LPWSTR name, LPDWORD nameLength, LPDWORD, LPWSTR keyClass,
                   LPDWORD classLength, FILETIME*)
{
    RegistryDatabase& db = RegistryDatabase::instance();
    std::lock_guard lock(db.mutex());
    OpenKey at{};
    if (LONG r = resolve(key, at))
        return r;
    if (!name || !nameLength)
        return ERROR_INVALID_PARAMETER;
    KeyInfo info;
    if (DWORD r = db.keyInfo(at.store, at.id, info))
        return static_cast<LONG>(r);
    if (index >= info.subKeyNames.size())
        return ERROR_NO_MORE_ITEMS;
    std::u16string text;
    platform::utf8ToUtf16(info.subKeyNames[index], text);
    if (text.size() >= *nameLength)
        return ERROR_MORE_DATA;
    std::memcpy(name, text.data(), text.size() * sizeof(char16_t));
    name[text.size()] = 0;
    *nameLength = static_cast<DWORD>(text.size());
    if (keyClass && classLength && *classLength > 0)
        keyClass[0] = 0;
    if (classLength)
        *classLength = 0;
    return ERROR_SUCCESS;
}

LONG RegQueryInfoKeyW(HKEY key, LPWSTR keyClass, LPDWORD classLength, LPDWORD, LPDWORD subKeys,
                      LPDWORD maxSubKeyLength, LPDWORD maxClassLength, LPDWORD values,
                      LPDWORD maxValueNameLength, LPDWORD maxValueLength,
                      LPDWORD securityDescriptor, FILETIME*)
{
    RegistryDatabase& db = RegistryDatabase::instance();
    std::lock_guard lock(db.mutex());
    OpenKey at{};
    if (LONG r = resolve(key, at))
        return r;
    KeyInfo info;
    if (DWORD r = db.keyInfo(at.store, at.id, info))
        return static_cast<LONG>(r);
    auto longest = [](const std::vector<std::string>& names) {
        size_t n = 0;
        for (const std::string& name : names)
            n = std::max(n, utf16Length(name));
        return static_cast<DWORD>(n);
    };
    if (keyClass && classLength && *classLength > 0)
        keyClass[0] = 0;
    if (classLength)
        *classLength = 0;
    if (subKeys)
        *subKeys = static_cast<DWORD>(info.subKeyNames.size());
    if (maxSubKeyLength)
        *maxSubKeyLength = longest(info.subKeyNames);
    if (maxClassLength)
        *maxClassLength = 0;
    if (values)
        *values = static_cast<DWORD>(info.valueNames.size());
    if (maxValueNameLength)
        *maxValueNameLength = longest(info.valueNames);
    if (maxValueLength)
        *maxValueLength = static_cast<DWORD>(info.maxValueSize);
    if (securityDescriptor)
        *securityDescriptor = 0;
    return ERROR_SUCCESS;
}

LONG RegCloseKey(HKEY key)
{
    RegistryDatabase& db = RegistryDatabase::instance();
    std::lock_guard lock(db.mutex());
    if (isPredefined(key))
        return ERROR_SUCCESS;
    if (!key || handles().keys.erase(reinterpret_cast<uintptr_t>(key)) == 0)
        return ERROR_INVALID_HANDLE;
    return ERROR_SUCCESS;
}

namespace platform {

void Registry::closeDatabase()
{
    RegistryDatabase& db = RegistryDatabase::instance();
    std::lock_guard lock(db.mutex());
    db.shutdown();
    db.forget();
    handles().keys.clear();
}

void Registry::emptyDatabase()
{
    RegistryDatabase& db = RegistryDatabase::instance();
    std::lock_guard lock(db.mutex());
    if (db.emptyInMemory())
        handles().keys.clear();
    else
        closeDatabase();
}

void Registry::shutdown()
{
    closeDatabase();
}

bool Registry::readOnly()
{
    RegistryDatabase& db = RegistryDatabase::instance();
    std::lock_guard lock(db.mutex());
    return db.readOnly();
}

std::string Registry::openPath()
{
    RegistryDatabase& db = RegistryDatabase::instance();
    std::lock_guard lock(db.mutex());
    return db.path();
}

} // namespace platform

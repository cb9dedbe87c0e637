#include "microedition/rms/DRecordStore.h"

#include "lang/DExceptionBase.h"
#include "platform/registry.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <string>

namespace qev::microedition::rms {

using namespace qev::lang;

namespace {

// Error of the registry when a key path does not exist, as reported on some devices.
constexpr LONG kErrorNotFound = 1168;
// Value names are read into a buffer of this many units; longer ones are no record ids.
constexpr DWORD kNameUnits = 64;

DRecordStore::ApplicationNameSource s_applicationName = nullptr;

// "%d" on a UTF-16 name: optional blanks and sign, then the leading digits; no digits read as
// 0. Saturates instead of overflowing.
int64_t parseId(const char16_t* name)
{
    const char16_t* p = name;
    while (*p == u' ' || (*p >= u'\t' && *p <= u'\r'))
        ++p;
    bool negative = *p == u'-';
    if (*p == u'-' || *p == u'+')
        ++p;
    int64_t value = 0;
    for (; *p >= u'0' && *p <= u'9'; ++p)
        value = std::min<int64_t>(value * 10 + (*p - u'0'), int64_t(INT32_MAX) + 1);
    return negative ? -value : std::min<int64_t>(value, INT32_MAX);
}

std::u16string idName(int32_t id)
{
    std::string text = std::to_string(id);
    return std::u16string(text.begin(), text.end());
}

} // namespace

void DRecordStore::setApplicationNameSource(ApplicationNameSource source)
{
    s_applicationName = source;
}

DRecordStore::~DRecordStore()
{
    RegCloseKey(m_key);
}

DRecordStorePtr DRecordStore::openRecordStore(DStringPtr name, bool createIfNecessary)
{
    if (!name)
        throwException(ExceptionCode::IllegalArgumentException);
    DStringPtr appName = s_applicationName ? s_applicationName() : DStringPtr();
    DStringPtr path = DStringPtr(u"Software\\Vostrelle\\") +
                      (appName ? appName : DStringPtr(u"null")) + u"\\" + name;
    DRecordStorePtr store(new DRecordStore());
    store->m_name = name;
    HKEY key = nullptr;
    LONG r = RegOpenKeyExW(HKEY_CURRENT_USER, path->chars(), 0, 0, &key);
    if (r != ERROR_SUCCESS && createIfNecessary) {
        DWORD disposition = 0;
        r = RegCreateKeyExW(HKEY_CURRENT_USER, path->chars(), 0, nullptr, 0, 0, nullptr, &key,
                            &disposition);
    }
    if (r != ERROR_SUCCESS) {
        throwException(r == kErrorNotFound ? ExceptionCode::RecordStoreNotFoundException
                                           : ExceptionCode::RecordStoreException);
    }
    store->m_key = key;
    return store;
}

void DRecordStore::requireOpen() const
{
    if (!m_key)
        throwException(ExceptionCode::RecordStoreNotOpenException);
}

int32_t DRecordStore::getNumRecords()
{
    DWORD values = 0;
    if (RegQueryInfoKeyW(m_key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &values,
                         nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
        throwException(ExceptionCode::RecordStoreNotOpenException);
    return static_cast<int32_t>(std::min<DWORD>(values, INT32_MAX));
}

int64_t DRecordStore::largestId(bool* complete)
{
    int64_t largest = 0;
    if (complete)
        *complete = false;
    for (DWORD index = 0;; ++index) {
        char16_t name[kNameUnits];
        DWORD length = kNameUnits;
        DWORD type = 0;
        LONG r = RegEnumValueW(m_key, index, name, &length, nullptr, &type, nullptr, nullptr);
        // A name too long for the buffer is no record id, but the values after it still count:
        // stopping here could hand out an id that is already in use.
        if (r == ERROR_MORE_DATA)
            continue;
        if (r != ERROR_SUCCESS) {
            if (complete)
                *complete = r == ERROR_NO_MORE_ITEMS;
            break;
        }
        largest = std::max(largest, parseId(name));
    }
    return largest;
}

int32_t DRecordStore::getNextRecordID()
{
    int64_t largest = largestId();
    return largest >= INT32_MAX ? -1 : static_cast<int32_t>(largest + 1);
}

void DRecordStore::writeRecord(int32_t id, const DbyteArrayPtr& data, int32_t offset,
                               int32_t numBytes)
{
    int32_t n = std::min(data->length - offset, numBytes);
    std::u16string name = idName(id);
    if (RegSetValueExW(m_key, name.c_str(), 0, REG_BINARY,
                       reinterpret_cast<const BYTE*>(data->getData()) + (n > 0 ? offset : 0),
                       static_cast<DWORD>(n)) != ERROR_SUCCESS)
        throwException(ExceptionCode::RecordStoreException);
}

namespace {

// Offsets outside the array and negative counts never reach the registry as sizes.
void checkRange(const DbyteArrayPtr& data, int32_t offset, int32_t numBytes)
{
    if (offset < 0 || offset > data->length || numBytes < 0)
        throwException(ExceptionCode::RecordStoreException);
}

} // namespace

int32_t DRecordStore::addRecord(DbyteArrayPtr data, int32_t offset, int32_t numBytes)
{
    if (!data)
        return getNextRecordID();
    requireOpen();
    checkRange(data, offset, numBytes);
    bool complete = false;
    int64_t largest = largestId(&complete);
    // Values not seen may hold larger ids: writing now could replace one of them.
    if (!complete)
        throwException(ExceptionCode::RecordStoreException);
    if (largest >= INT32_MAX)
        throwException(ExceptionCode::RecordStoreFullException);
    int32_t id = static_cast<int32_t>(largest + 1);
    writeRecord(id, data, offset, numBytes);
    return id;
}

void DRecordStore::setRecord(int32_t id, DbyteArrayPtr data, int32_t offset, int32_t numBytes)
{
    requireOpen();
    if (!data)
        throwException(ExceptionCode::RecordStoreException);
    checkRange(data, offset, numBytes);
    std::u16string name = idName(id);
    DWORD type = 0;
    DWORD size = 0;
    if (RegQueryValueExW(m_key, name.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS)
        throwException(ExceptionCode::InvalidRecordIDException);
    writeRecord(id, data, offset, numBytes);
}

int32_t DRecordStore::getRecordSize(int32_t id)
{
    requireOpen();
    std::u16string name = idName(id);
    DWORD type = 0;
    DWORD size = 0;
    if (RegQueryValueExW(m_key, name.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS ||
        size > INT32_MAX)
        throwException(ExceptionCode::RecordStoreException);
    return static_cast<int32_t>(size);
}

DbyteArrayPtr DRecordStore::getRecord(int32_t id)
{
    int32_t size = getRecordSize(id);
    DbyteArrayPtr record(new DbyteArray(size));
    std::u16string name = idName(id);
    DWORD type = 0;
    DWORD got = static_cast<DWORD>(size);
    // A zero-size record is read with a buffer of one byte so that the call reads, not sizes.
    BYTE none = 0;
    BYTE* target = size > 0 ? reinterpret_cast<BYTE*>(record->getData()) : &none;
    if (RegQueryValueExW(m_key, name.c_str(), nullptr, &type, target, &got) != ERROR_SUCCESS ||
        got != static_cast<DWORD>(size))
        throwException(ExceptionCode::RecordStoreException);
    return record;
}

void DRecordStore::closeRecordStore()
{
    if (m_key)
        RegCloseKey(m_key);
    m_key = nullptr;
}

} // namespace qev::microedition::rms

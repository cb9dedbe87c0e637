// Named stores of numbered byte records kept between runs, in the registry: one key per store,
// HKEY_CURRENT_USER "Software\Vostrelle\<application name>\<store>", one REG_BINARY value per
// record named by its decimal id. Records are never deleted; a new record takes the largest id
// present + 1. Every call goes to the registry (no cache).
#pragma once

#include "lang/DString.h"
#include "lang/DbyteArray.h"
#include "platform/wintypes.h"

namespace qev::microedition::rms {

class DRecordStore;
using DRecordStorePtr = qev::lang::DPtr<DRecordStore>;

class DRecordStore : public qev::lang::DObject
{
  public:
    // Where the application name in the key path comes from: the running MIDlet's "app.name"
    // property, wired in by the host. Without a source, or when it answers null, the name
    // reads "null".
    using ApplicationNameSource = qev::lang::DStringPtr (*)();
    static void setApplicationNameSource(ApplicationNameSource source);

    ~DRecordStore() override;

    // IllegalArgumentException for a null name; RecordStoreNotFoundException (registry error
    // 1168) or RecordStoreException when the key can be neither opened nor, with
    // createIfNecessary, created.
    static DRecordStorePtr openRecordStore(qev::lang::DStringPtr name, bool createIfNecessary);

    // RecordStoreNotOpenException on a closed store.
    int32_t getNumRecords();
    // The id the next addRecord will use (1 for an empty or closed store; -1 when the largest
    // id is already 2147483647).
    int32_t getNextRecordID();
    // Stores min(length - offset, numBytes) bytes from offset as a new record and returns its
    // id. A null array stores nothing and returns getNextRecordID(). RecordStoreNotOpenException
    // on a closed store; RecordStoreException for an offset outside the array, a negative
    // numBytes or a registry failure (also one while the ids are read, so that an id in use is
    // never handed out again); RecordStoreFullException when no id is left.
    int32_t addRecord(qev::lang::DbyteArrayPtr data, int32_t offset, int32_t numBytes);
    // Replaces record id as addRecord writes; InvalidRecordIDException when it does not exist;
    // RecordStoreException for a null array, a bad offset or numBytes, or a registry failure.
    void setRecord(int32_t id, qev::lang::DbyteArrayPtr data, int32_t offset, int32_t numBytes);
    // RecordStoreException for a missing record or a registry failure.
    qev::lang::DbyteArrayPtr getRecord(int32_t id);
    int32_t getRecordSize(int32_t id);
    // Closes the key; a second call does nothing.
    void closeRecordStore();

  private:
    DRecordStore() = default;
    void requireOpen() const;
    void writeRecord(int32_t id, const qev::lang::DbyteArrayPtr& data, int32_t offset,
                     int32_t numBytes);
    // The largest record id present (0 when none); value names are read as "%d" reads them.
    // `complete` tells whether the enumeration reached the end of the values rather than
    // stopping at a registry failure, after which a larger id may still be present.
    int64_t largestId(bool* complete = nullptr);

    qev::lang::DStringPtr m_name;
    HKEY m_key = nullptr;
};

} // namespace qev::microedition::rms

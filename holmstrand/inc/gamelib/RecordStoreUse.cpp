#include "gamelib/RecordStoreUse.h"

#include "gamelib/GameLib.h"

#include "io/DByteArrayInputStream.h"

namespace gamelib {

using qev::microedition::rms::DRecordStore;
using qev::microedition::rms::DRecordStorePtr;

namespace {

// Closes the store also when reading or writing failed, so no handle is left open.
void closeQuietly(const DRecordStorePtr& store)
{
    if (!store)
        return;
    tolerant([&] { store->closeRecordStore(); });
}

} // namespace

void useRecordStore(const qev::lang::DStringPtr& name,
                    const std::function<void(DRecordStore&)>& use,
                    const std::function<void()>& onFailure)
{
    DRecordStorePtr store;
    const bool used = tolerant([&] {
        store = DRecordStore::openRecordStore(name, true);
        use(*store);
    });
    if (!used && onFailure)
        onFailure();
    closeQuietly(store);
}

bool recordStoreExists(const qev::lang::DStringPtr& name)
{
    DRecordStorePtr store;
    if (!tolerant([&] { store = DRecordStore::openRecordStore(name, false); }))
        return false;
    closeQuietly(store);
    return true;
}

qev::lang::DPtr<qev::io::DDataInputStream> readRecord(DRecordStore& store, int32_t id)
{
    return new qev::io::DDataInputStream(new qev::io::DByteArrayInputStream(store.getRecord(id)));
}

void writeRecord(DRecordStore& store, int32_t id, const qev::lang::DbyteArrayPtr& bytes)
{
    if (store.getNumRecords() >= id)
        store.setRecord(id, bytes, 0, bytes->length);
    else
        store.addRecord(bytes, 0, bytes->length);
}

} // namespace gamelib

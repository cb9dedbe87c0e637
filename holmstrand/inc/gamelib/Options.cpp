// Option records: every persistent setting is one integer in a record store of its own.
#include "gamelib/GameLib.h"
#include "gamelib/GameMenu.h"

#include "io/DByteArrayInputStream.h"
#include "io/DByteArrayOutputStream.h"
#include "io/DDataInputStream.h"
#include "io/DDataOutputStream.h"
#include "microedition/rms/DRecordStore.h"

namespace gamelib {

using qev::io::DByteArrayInputStream;
using qev::io::DByteArrayOutputStream;
using qev::io::DDataInputStream;
using qev::io::DDataOutputStream;
using qev::lang::DbyteArrayPtr;
using qev::lang::DExceptionBase;
using qev::lang::DStringPtr;
using qev::microedition::rms::DRecordStore;
using qev::microedition::rms::DRecordStorePtr;

namespace {

// Closes the store also when reading or writing failed, so no handle is left open.
void closeQuietly(const DRecordStorePtr& store)
{
    if (!store)
        return;
    try {
        store->closeRecordStore();
    } catch (DExceptionBase* e) {
        if (!swallowable(e))
            throw;
    }
}

} // namespace

void GameMenu::saveOption(DStringPtr name, int32_t value)
{
    DRecordStorePtr store;
    try {
        store = DRecordStore::openRecordStore(u"op_" + name, true);
        qev::lang::DPtr<DByteArrayOutputStream> bytes = new DByteArrayOutputStream();
        qev::lang::DPtr<DDataOutputStream> out = new DDataOutputStream(bytes);
        out->writeInt(value);
        DbyteArrayPtr record = bytes->toByteArray();
        if (store->getNumRecords() > 0)
            store->setRecord(1, record, 0, 4);
        else
            store->addRecord(record, 0, 4);
        out->close();
    } catch (DExceptionBase* e) {
        if (!swallowable(e))
            throw;
    }
    closeQuietly(store);
}

int32_t GameMenu::loadOption(DStringPtr name, int32_t defaultValue)
{
    int32_t result = defaultValue;
    DRecordStorePtr store;
    try {
        store = DRecordStore::openRecordStore(u"op_" + name, true);
        if (store->getNumRecords() > 0) {
            qev::lang::DPtr<DDataInputStream> in =
                new DDataInputStream(new DByteArrayInputStream(store->getRecord(1)));
            result = in->readInt();
        }
    } catch (DExceptionBase* e) {
        if (!swallowable(e))
            throw;
    }
    closeQuietly(store);
    return result;
}

} // namespace gamelib

// Option records: every persistent setting is one integer in a record store of its own.
#include "gamelib/GameMenu.h"
#include "gamelib/RecordStoreUse.h"

#include "io/DByteArrayOutputStream.h"
#include "io/DDataOutputStream.h"

namespace gamelib {

using qev::io::DByteArrayOutputStream;
using qev::io::DDataOutputStream;
using qev::lang::DStringPtr;
using qev::microedition::rms::DRecordStore;

void GameMenu::saveOption(DStringPtr name, int32_t value)
{
    useRecordStore(u"op_" + name, [value](DRecordStore& store) {
        qev::lang::DPtr<DByteArrayOutputStream> bytes = new DByteArrayOutputStream();
        qev::lang::DPtr<DDataOutputStream> out = new DDataOutputStream(bytes);
        out->writeInt(value);
        writeRecord(store, 1, bytes->toByteArray());
        out->close();
    });
}

int32_t GameMenu::loadOption(DStringPtr name, int32_t defaultValue)
{
    int32_t result = defaultValue;
    useRecordStore(u"op_" + name, [&result](DRecordStore& store) {
        if (store.getNumRecords() > 0)
            result = readRecord(store, 1)->readInt();
    });
    return result;
}

} // namespace gamelib

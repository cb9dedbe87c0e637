#include "RecordSupport.h"

#include "lang/DbyteArray.h"
#include "microedition/rms/DRecordStore.h"
#include "platform/DeviceProfile.h"
#include "platform/registry.h"

#include <cstdlib>
#include <cstring>

namespace fuzzsupport {

using qev::microedition::rms::DRecordStore;
using qev::microedition::rms::DRecordStorePtr;

void freshRecordStore()
{
    static const bool once = [] {
        // A database moved aside is reported in a message box: kept, never shown.
        platform::DeviceProfile::current().messageBoxes = platform::MessageBoxMode::Recorded;
        return true;
    }();
    (void)once;
    // Each input gets an empty database in memory: a file made, synced and removed per input,
    // and then a new database opened per input, were nearly all of the time spent.
    platform::DeviceProfile::current().registryPath = ":memory:";
    platform::Registry::emptyDatabase();
}

void putRecords(const std::u16string& store, const std::vector<std::string>& records)
{
    DRecordStorePtr s = DRecordStore::openRecordStore(store.c_str(), true);
    int32_t id = 1;
    for (const std::string& r : records) {
        const auto size = static_cast<int32_t>(r.size());
        qev::lang::DbyteArrayPtr bytes(new qev::lang::DbyteArray(size));
        if (size > 0)
            std::memcpy(bytes->getData(), r.data(), r.size());
        if (s->addRecord(bytes, 0, size) != id++)
            std::abort(); // a fresh store numbers its records from 1
    }
    s->closeRecordStore();
}

} // namespace fuzzsupport

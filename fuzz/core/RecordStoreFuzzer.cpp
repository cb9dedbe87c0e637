// Outside data of the record stores: arbitrary bytes as the registry database file, or as value
// names and records put into a store by another program. Every outcome must be a record, a
// framework exception or a fresh database, never a crash or an id handed out twice.
#include "lang/DExceptionBase.h"
#include "microedition/rms/DRecordStore.h"
#include "platform/DeviceProfile.h"
#include "platform/registry.h"
#include "platform/testing/RegistryFaults.h"
#include "platform/window/WindowSystem.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

using namespace qev::lang;
using qev::microedition::rms::DRecordStore;
using qev::microedition::rms::DRecordStorePtr;

namespace {

// Never destroyed, so that the clean-up at exit can still name it.
const std::string& folder()
{
    static const std::string* f = [] {
        // In memory where the system allows: the file is written anew for many inputs.
        char pattern[] = "/dev/shm/ph-fuzz-registry-XXXXXX";
        char fallback[] = "/tmp/ph-fuzz-registry-XXXXXX";
        // Every input starts a new database: syncing each write to disk would be most of the
        // time spent, for files that are thrown away at once. PH_FUZZ_REGISTRY_SYNC=1 keeps the
        // syncs, to compare.
        const char* sync = std::getenv("PH_FUZZ_REGISTRY_SYNC");
        platform::RegistryFaults::syncWrites(sync && sync[0] == '1');
        const char* made = mkdtemp(pattern);
        if (!made)
            made = mkdtemp(fallback);
        if (!made)
            std::abort();
        auto* path = new std::string(made);
        std::atexit([] {
            platform::Registry::closeDatabase();
            std::filesystem::remove_all(folder());
        });
        return path;
    }();
    return *f;
}

void exerciseStore()
{
    try {
        DRecordStorePtr store = DRecordStore::openRecordStore(u"fuzz", true);
        int32_t records = store->getNumRecords();
        int32_t next = store->getNextRecordID();
        for (int32_t id = 1; id <= 8 && id <= records; ++id) {
            try {
                store->getRecord(id);
            } catch (DExceptionBase* e) {
                delete e;
            }
        }
        DbyteArrayPtr one(new DbyteArray(1));
        if (next > 0) {
            int32_t added = store->addRecord(one, 0, 1);
            if (added != next)
                std::abort();
            // The new id was free: a fresh next id is larger.
            if (store->getNextRecordID() <= added && store->getNextRecordID() != -1)
                std::abort();
        }
    } catch (DExceptionBase* e) {
        delete e;
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0 || size > 1 << 16)
        return 0;
    // A file moved aside is reported in a message box: kept, never shown, and dropped at once.
    platform::DeviceProfile::current().messageBoxes = platform::MessageBoxMode::Recorded;
    platform::WindowSystem::resetForTests();
    if (data[0] & 1) {
        platform::Registry::closeDatabase();
        // The whole input is the database file, alone in the folder (files moved aside go).
        for (const auto& old : std::filesystem::directory_iterator(folder()))
            std::filesystem::remove_all(old.path());
        std::string path = folder() + "/registry.sqlite";
        platform::DeviceProfile::current().registryPath = path;
        FILE* out = std::fopen(path.c_str(), "wb");
        if (!out)
            return 0;
        std::fwrite(data + 1, 1, size - 1, out);
        std::fclose(out);
        exerciseStore();
        return 0;
    }
    // Values put into the store's key of an empty database in memory: records separated by 0xFF,
    // each a name (up to the first 0) and data.
    platform::DeviceProfile::current().registryPath = ":memory:";
    platform::Registry::emptyDatabase();
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, u"Software\\Vostrelle\\null\\fuzz", 0, nullptr, 0, 0,
                        nullptr, &key, nullptr) != ERROR_SUCCESS)
        return 0;
    size_t start = 1;
    while (start < size) {
        size_t end = start;
        while (end < size && data[end] != 0xFF)
            ++end;
        size_t nameEnd = start;
        while (nameEnd < end && data[nameEnd] != 0)
            ++nameEnd;
        std::u16string name(data + start, data + nameEnd);
        const BYTE* value = data + (nameEnd < end ? nameEnd + 1 : end);
        RegSetValueExW(key, name.c_str(), 0, REG_BINARY, value,
                       static_cast<DWORD>(data + end - value));
        start = end + 1;
    }
    RegCloseKey(key);
    exerciseStore();
    return 0;
}

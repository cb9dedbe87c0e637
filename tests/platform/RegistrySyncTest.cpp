// The registry's sync switch: by default every write is synced to disk; with syncing off no
// sync reaches the file system, and the values are still all in the file after an orderly
// close. Syncs are counted by a file system layer put in front of SQLite's own.
#include "DeviceFixture.h"
#include "TempFolder.h"
#include "platform/registry.h"
#include "platform/testing/RegistryFaults.h"

#include <sqlite3.h>

#include <map>
#include <memory>
#include <string>

using platform::Registry;
using platform::RegistryFaults;

namespace {

int syncs = 0;
sqlite3_vfs counting{};
sqlite3_vfs* real = nullptr;
std::map<const sqlite3_io_methods*, std::unique_ptr<sqlite3_io_methods>> patched;
std::map<const sqlite3_io_methods*, const sqlite3_io_methods*> originals;

int countSync(sqlite3_file* file, int flags)
{
    ++syncs;
    return originals[file->pMethods]->xSync(file, flags);
}

// The real file with its method table copied, the sync counted on the way.
int openCounting(sqlite3_vfs*, sqlite3_filename name, sqlite3_file* file, int flags, int* out)
{
    const int result = real->xOpen(real, name, file, flags, out);
    if (result != SQLITE_OK || !file->pMethods)
        return result;
    const sqlite3_io_methods* original = file->pMethods;
    auto& table = patched[original];
    if (!table) {
        table = std::make_unique<sqlite3_io_methods>(*original);
        table->xSync = countSync;
        originals[table.get()] = original;
    }
    file->pMethods = table.get();
    return result;
}

class RegistrySync : public DeviceTest
{
  protected:
    RegistrySync()
    {
        if (!real) {
            real = sqlite3_vfs_find(nullptr);
            counting = *real;
            counting.zName = "counting";
            counting.xOpen = openCounting;
        }
        sqlite3_vfs_register(&counting, 1);
        Registry::closeDatabase();
        profile().registryPath = folder.path() + "/registry.sqlite";
    }
    ~RegistrySync() override
    {
        Registry::closeDatabase();
        RegistryFaults::syncWrites(true);
        sqlite3_vfs_register(real, 1);
        sqlite3_vfs_unregister(&counting);
    }

    void writeValues(const char16_t* keyPath)
    {
        HKEY key = nullptr;
        ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExW(HKEY_CURRENT_USER, keyPath, 0, nullptr, 0, 0,
                                                 nullptr, &key, nullptr));
        const BYTE bytes[] = {1, 2, 3};
        ASSERT_EQ(ERROR_SUCCESS, RegSetValueExW(key, u"1", 0, REG_BINARY, bytes, 3));
        ASSERT_EQ(ERROR_SUCCESS, RegSetValueExW(key, u"2", 0, REG_BINARY, bytes, 2));
        RegCloseKey(key);
    }
    DWORD sizeOf(const char16_t* keyPath, const char16_t* name)
    {
        HKEY key = nullptr;
        if (RegOpenKeyExW(HKEY_CURRENT_USER, keyPath, 0, 0, &key) != ERROR_SUCCESS)
            return 0;
        DWORD size = 0;
        RegQueryValueExW(key, name, nullptr, nullptr, nullptr, &size);
        RegCloseKey(key);
        return size;
    }

    testsupport::TempFolder folder;
};

TEST_F(RegistrySync, WritesAreSyncedUnlessTheTestSwitchTurnsSyncingOff)
{
    writeValues(u"Software\\Vostrelle\\Game\\synced");
    EXPECT_GT(syncs, 0);

    Registry::closeDatabase();
    RegistryFaults::syncWrites(false);
    syncs = 0;
    writeValues(u"Software\\Vostrelle\\Game\\unsynced");
    Registry::closeDatabase();
    EXPECT_EQ(0, syncs);

    // Both sets of values are in the file for the next opening.
    RegistryFaults::syncWrites(true);
    EXPECT_EQ(3u, sizeOf(u"Software\\Vostrelle\\Game\\synced", u"1"));
    EXPECT_EQ(3u, sizeOf(u"Software\\Vostrelle\\Game\\unsynced", u"1"));
    EXPECT_EQ(2u, sizeOf(u"Software\\Vostrelle\\Game\\unsynced", u"2"));
}

} // namespace

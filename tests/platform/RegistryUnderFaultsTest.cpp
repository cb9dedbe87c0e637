// Records under faults of the disk and of other programs: a lock held for as long as another
// program likes, passing read errors, failed syncs, a damaged file with a long name, no room for
// the shared-memory file, and a file removed or replaced while the game runs. None may freeze
// the game, remove a player's file, or tell the player something other than what is stored.
#include "LockingProcess.h"
#include "RegistryFixture.h"
#include "StderrCapture.h"

#include "platform/clock.h"
#include "platform/testing/FakeClock.h"

#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

using platform::Registry;
using platform::RegistryFaults;
using testsupport::LockingProcess;
namespace fs = std::filesystem;

namespace {

constexpr const char16_t* kStore = u"Software\\Vostrelle\\Game\\highscores";

class RecordsUnderFaults : public RegistryFixture
{
  protected:
    RecordsUnderFaults()
    {
        profile().clock = platform::ClockMode::Fake;
        platform::FakeClock::freeze(0);
    }

    void writeRecords(const std::string& entry = "ALF 1200")
    {
        HKEY key = create(kStore);
        ASSERT_NE(nullptr, key);
        ASSERT_EQ(ERROR_SUCCESS, set(key, u"1", entry));
        RegCloseKey(key);
        Registry::closeDatabase();
    }
    // The stored entry as a new run finds it ("error N" when it cannot be read).
    std::string storedEntry()
    {
        HKEY key = nullptr;
        LONG r = RegOpenKeyExW(HKEY_CURRENT_USER, kStore, 0, 0, &key);
        if (r != ERROR_SUCCESS)
            return "error " + std::to_string(r);
        std::string entry = get(key, u"1");
        RegCloseKey(key);
        return entry;
    }
    std::vector<std::string> filesInFolder() const
    {
        std::vector<std::string> out;
        for (const auto& e : fs::directory_iterator(folderPath()))
            out.push_back(e.path().filename().string());
        return out;
    }
    // The start of a game: it reads and writes its records some 30 times.
    void playTheStart()
    {
        for (int call = 0; call < 10; ++call) {
            HKEY key = nullptr;
            LONG made = ERROR_SUCCESS;
            key = tryCreate(u"Software\\Vostrelle\\Game\\op_sound", made);
            set(key ? key : HKEY_CURRENT_USER, u"1", "on");
            RegOpenKeyExW(HKEY_CURRENT_USER, kStore, 0, 0, &key);
            RegCloseKey(key);
        }
    }
};

TEST_F(RecordsUnderFaults, ALockHeldByAnotherProcessCostsTheStartOneBriefWait)
{
    writeRecords();
    RegistryFaults::clearFaults(); // the game's own wait, not a test's
    const std::string before = folder.read("data/pallasterhorn/registry.sqlite");
    LockingProcess other(dbPath());
    ASSERT_TRUE(other.locked());
    const int64_t start = platform::monotonicMillis();
    testsupport::StderrCapture stderrText;
    playTheStart();
    stderrText.text();
    EXPECT_LT(platform::monotonicMillis() - start, 1000);
    std::vector<std::string> told = boxes();
    ASSERT_EQ(1u, told.size());
    EXPECT_NE(std::string::npos, told[0].find("cannot be opened")) << told[0];
    EXPECT_NE(std::string::npos, told[0].find("nothing is saved in this run")) << told[0];
    EXPECT_TRUE(before == folder.read("data/pallasterhorn/registry.sqlite"));
}

// As the notice says: a run that could not open its records never saves over them later, even
// once what stood in the way is gone (here a lock, released in the middle of the run).
TEST_F(RecordsUnderFaults, ARunToldNothingIsSavedSavesNothing)
{
    writeRecords();
    const std::string before = folder.read("data/pallasterhorn/registry.sqlite");
    {
        LockingProcess other(dbPath());
        ASSERT_TRUE(other.locked());
        testsupport::StderrCapture stderrText;
        EXPECT_NE("ALF 1200", storedEntry());
        stderrText.text();
    }
    HKEY key = nullptr;
    LONG made = ERROR_SUCCESS;
    key = tryCreate(kStore, made);
    EXPECT_EQ(nullptr, key);
    EXPECT_NE(ERROR_SUCCESS, set(HKEY_CURRENT_USER, u"1", "BOB 1"));
    EXPECT_EQ(1u, boxes().size());
    EXPECT_TRUE(before == folder.read("data/pallasterhorn/registry.sqlite"));
    Registry::closeDatabase(); // the next run
    EXPECT_EQ("ALF 1200", storedEntry());
}

// A read that fails once while the file is opened and checked is no damage: the file stays,
// with its records, whichever read it was.
TEST_F(RecordsUnderFaults, APassingReadErrorAtTheOpenIsNoDamage)
{
    writeRecords();
    for (unsigned n = 1; n <= 12; ++n) {
        RegistryFaults::failNthRead(n);
        EXPECT_EQ("ALF 1200", storedEntry()) << "read " << n;
        Registry::closeDatabase();
        RegistryFaults::clearFaults();
    }
    EXPECT_EQ(std::vector<std::string>{"registry.sqlite"}, filesInFolder());
    EXPECT_TRUE(boxes().empty());
}

// A save whose sync to disk failed may still be in the file, for the next start to find when the
// game ends without closing it in order (it is killed, the machine stops). What the game is told
// must be what the next run finds, whichever sync failed.
TEST_F(RecordsUnderFaults, ASaveIsReportedAsTheNextRunFindsIt)
{
    writeRecords("ALF 1200");
    int reportedSaved = 0;
    for (unsigned n = 1; n <= 3; ++n) {
        const std::string entry = "BOB " + std::to_string(n);
        int reply[2];
        ASSERT_EQ(0, pipe(reply));
        pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            RegistryFaults::failNthSync(n);
            HKEY key = nullptr;
            LONG result = RegOpenKeyExW(HKEY_CURRENT_USER, kStore, 0, 0, &key);
            if (result == ERROR_SUCCESS)
                result = set(key, u"1", entry);
            (void)!write(reply[1], &result, sizeof result);
            _exit(0); // killed: no orderly close
        }
        close(reply[1]);
        LONG result = -1;
        ASSERT_EQ(static_cast<ssize_t>(sizeof result), read(reply[0], &result, sizeof result));
        close(reply[0]);
        waitpid(child, nullptr, 0);
        const std::string found = storedEntry();
        if (result == ERROR_SUCCESS) {
            ++reportedSaved;
            EXPECT_EQ(entry, found) << "reported saved, not found; sync " << n;
        } else {
            EXPECT_NE(entry, found) << "reported not saved, found after all; sync " << n;
        }
        Registry::closeDatabase();
    }
    EXPECT_GE(reportedSaved, 2);
}

TEST_F(RecordsUnderFaults, ADamagedFileWithALongNameIsMovedAsideUnderAShortOne)
{
    const std::string name(236, 'r');
    profile().registryPath = folderPath() + "/" + name;
    const std::string garbage(4096, 'x');
    folder.write("data/pallasterhorn/" + name, garbage);
    testsupport::StderrCapture stderrText;
    HKEY key = create(kStore);
    stderrText.text();
    ASSERT_NE(nullptr, key);
    EXPECT_EQ(ERROR_SUCCESS, set(key, u"1", "NEW 1"));
    RegCloseKey(key);
    Registry::closeDatabase();
    std::string aside;
    for (const std::string& file : filesInFolder()) {
        if (file.rfind("records-damaged-", 0) == 0)
            aside = file;
    }
    ASSERT_FALSE(aside.empty());
    EXPECT_EQ(garbage, folder.read("data/pallasterhorn/" + aside)) << "the player's file is gone";
    std::vector<std::string> told = boxes();
    ASSERT_EQ(1u, told.size());
    EXPECT_NE(std::string::npos, told[0].find(aside)) << told[0];
}

// No room for the shared-memory file: the records, including what only the log holds, are shown
// read-only, and nothing is written.
TEST_F(RecordsUnderFaults, NoRoomForTheSharedMemoryKeepsTheRecordsReadable)
{
    writeRecords("ALF 1200");
    // A later save that only the log holds, as after a crash.
    {
        sqlite3* other = nullptr;
        ASSERT_EQ(SQLITE_OK, sqlite3_open(dbPath().c_str(), &other));
        sqlite3_db_config(other, SQLITE_DBCONFIG_NO_CKPT_ON_CLOSE, 1, nullptr);
        ASSERT_EQ(SQLITE_OK, sqlite3_exec(other, "UPDATE vals SET data=CAST('BOB 9000' AS BLOB)",
                                          nullptr, nullptr, nullptr));
        sqlite3_close(other);
    }
    ASSERT_TRUE(fs::exists(dbPath() + "-wal"));
    const std::string main = folder.read("data/pallasterhorn/registry.sqlite");
    const std::string log = folder.read("data/pallasterhorn/registry.sqlite-wal");
    for (int64_t room : {int64_t{0}, int64_t{4096}, int64_t{28 * 1024}}) {
        fs::remove(dbPath() + "-shm");
        RegistryFaults::limitDiskRoom(room);
        EXPECT_EQ("BOB 9000", storedEntry()) << room;
        EXPECT_TRUE(Registry::readOnly()) << room;
        HKEY key = nullptr;
        ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExW(HKEY_CURRENT_USER, kStore, 0, 0, &key));
        EXPECT_NE(ERROR_SUCCESS, set(key, u"1", "CAT 1"));
        RegCloseKey(key);
        Registry::closeDatabase();
        RegistryFaults::clearFaults();
        EXPECT_TRUE(main == folder.read("data/pallasterhorn/registry.sqlite")) << room;
        EXPECT_TRUE(log == folder.read("data/pallasterhorn/registry.sqlite-wal")) << room;
    }
    std::vector<std::string> told = boxes();
    ASSERT_EQ(1u, told.size());
    EXPECT_NE(std::string::npos, told[0].find("nothing is saved in this run")) << told[0];
}

// The records file removed, or replaced by another, while the game runs: later saves go to the
// file at the path, never to the one gone, and the player is told.
TEST_F(RecordsUnderFaults, AFileRemovedOrReplacedWhileRunningGetsTheLaterSaves)
{
    HKEY key = create(kStore);
    ASSERT_NE(nullptr, key);
    ASSERT_EQ(ERROR_SUCCESS, set(key, u"1", "ALF 1"));
    RegCloseKey(key);

    fs::remove(dbPath());
    key = create(kStore);
    ASSERT_NE(nullptr, key);
    EXPECT_EQ(ERROR_SUCCESS, set(key, u"1", "BOB 2"));
    RegCloseKey(key);
    ASSERT_EQ(1u, boxes().size());
    EXPECT_NE(std::string::npos, boxes()[0].find("removed or replaced")) << boxes()[0];
    Registry::closeDatabase();
    EXPECT_EQ("BOB 2", storedEntry());

    // Other records put in its place (a backup brought back).
    const std::string other = folder.path() + "/other.sqlite";
    fs::copy_file(dbPath(), other);
    {
        sqlite3* db = nullptr;
        ASSERT_EQ(SQLITE_OK, sqlite3_open(other.c_str(), &db));
        ASSERT_EQ(SQLITE_OK, sqlite3_exec(db, "UPDATE vals SET data=CAST('CAT 3' AS BLOB)", nullptr,
                                          nullptr, nullptr));
        sqlite3_close(db);
    }
    fs::rename(other, dbPath());
    EXPECT_EQ("CAT 3", storedEntry());
    key = create(kStore);
    ASSERT_NE(nullptr, key);
    EXPECT_EQ(ERROR_SUCCESS, set(key, u"2", "DOG 4"));
    RegCloseKey(key);
    ASSERT_EQ(2u, boxes().size());
    Registry::closeDatabase();
    EXPECT_EQ("CAT 3", storedEntry());
    key = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExW(HKEY_CURRENT_USER, kStore, 0, 0, &key));
    EXPECT_EQ("DOG 4", get(key, u"2"));
    RegCloseKey(key);
}

} // namespace

#include "RegistryFixture.h"
#include "StderrCapture.h"

#include "platform/clock.h"
#include "platform/testing/FakeClock.h"

#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

using platform::Registry;
using platform::RegistryFaults;

namespace {

class RegistryTest : public RegistryFixture
{
  protected:
    std::vector<std::string> damagedCopies(const std::string& kind = "damaged") const
    {
        std::vector<std::string> out;
        for (const auto& e :
             std::filesystem::directory_iterator(folder.path() + "/data/pallasterhorn")) {
            std::string name = e.path().filename().string();
            if (name.find("." + kind + "-") != std::string::npos &&
                name.find("-wal") == std::string::npos)
                out.push_back(e.path().string());
        }
        return out;
    }
    // Makes a database file with other code, as another program (or a later version) would.
    void writeDatabase(const char* sql) const
    {
        std::filesystem::create_directories(folder.path() + "/data/pallasterhorn");
        sqlite3* db = nullptr;
        ASSERT_EQ(SQLITE_OK, sqlite3_open(dbPath().c_str(), &db));
        ASSERT_EQ(SQLITE_OK, sqlite3_exec(db, sql, nullptr, nullptr, nullptr))
            << sqlite3_errmsg(db);
        sqlite3_close(db);
    }
    // The value as read from the main database file alone, without its log, as a player who
    // backs up only registry.sqlite would have it.
    std::string valueInMainFileOnly(const std::string& valueName) const
    {
        std::string copy = folder.path() + "/backup.sqlite";
        std::filesystem::copy_file(dbPath(), copy,
                                   std::filesystem::copy_options::overwrite_existing);
        sqlite3* db = nullptr;
        std::string found = "(none)";
        if (sqlite3_open_v2(copy.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK) {
            sqlite3_stmt* s = nullptr;
            if (sqlite3_prepare_v2(db, "SELECT data FROM vals WHERE name=?1", -1, &s, nullptr) ==
                SQLITE_OK) {
                sqlite3_bind_text(s, 1, valueName.c_str(), -1, SQLITE_TRANSIENT);
                if (sqlite3_step(s) == SQLITE_ROW)
                    found = std::string(static_cast<const char*>(sqlite3_column_blob(s, 0)),
                                        static_cast<size_t>(sqlite3_column_bytes(s, 0)));
            }
            sqlite3_finalize(s);
        }
        sqlite3_close(db);
        return found;
    }
};

} // namespace

TEST_F(RegistryTest, KeysAreCreatedWithTheirParentsAndOpenedCaseInsensitively)
{
    DWORD disposition = 0;
    HKEY store = create(u"Software\\Vostrelle\\Game\\op_sound", &disposition);
    EXPECT_EQ(DWORD(REG_CREATED_NEW_KEY), disposition);
    HKEY again = create(u"SOFTWARE\\vostrelle\\game\\OP_SOUND", &disposition);
    EXPECT_EQ(DWORD(REG_OPENED_EXISTING_KEY), disposition);
    EXPECT_NE(store, again);
    ASSERT_EQ(ERROR_SUCCESS, set(store, u"1", std::string("\0\0\0\x05", 4)));
    EXPECT_EQ(std::string("\0\0\0\x05", 4), get(again, u"1"));

    HKEY parent = nullptr;
    EXPECT_EQ(ERROR_SUCCESS,
              RegOpenKeyExW(HKEY_CURRENT_USER, u"Software\\Vostrelle", 0, 0, &parent));
    HKEY child = nullptr;
    EXPECT_EQ(ERROR_SUCCESS, RegOpenKeyExW(parent, u"GAME\\op_sound", 0, 0, &child));
    EXPECT_EQ(std::string("\0\0\0\x05", 4), get(child, u"1"));
    HKEY missing = nullptr;
    EXPECT_EQ(ERROR_FILE_NOT_FOUND,
              RegOpenKeyExW(HKEY_CURRENT_USER, u"Software\\Other", 0, 0, &missing));
    EXPECT_EQ(nullptr, missing);
    EXPECT_EQ("error 2", get(store, u"2"));
    for (HKEY k : {store, again, parent, child})
        EXPECT_EQ(ERROR_SUCCESS, RegCloseKey(k));
}

TEST_F(RegistryTest, BadPathsNamesAndHandlesAreRefused)
{
    HKEY key = nullptr;
    for (const char16_t* path : {u"a\\\\b", u"a\\", u"\\a"})
        EXPECT_EQ(ERROR_INVALID_PARAMETER, RegCreateKeyExW(HKEY_CURRENT_USER, path, 0, nullptr, 0,
                                                           0, nullptr, &key, nullptr));
    std::u16string longest(255, u'k');
    std::u16string tooLong(256, u'k');
    EXPECT_EQ(ERROR_SUCCESS, RegCreateKeyExW(HKEY_CURRENT_USER, longest.c_str(), 0, nullptr, 0, 0,
                                             nullptr, &key, nullptr));
    EXPECT_EQ(ERROR_INVALID_PARAMETER, set(key, tooLong.c_str(), "x"));
    EXPECT_EQ(ERROR_SUCCESS, set(key, longest.c_str(), "x"));
    const char16_t lone[] = {u'a', 0xD800, 0};
    EXPECT_EQ(ERROR_INVALID_PARAMETER, set(key, lone, "x"));
    EXPECT_EQ(ERROR_INVALID_PARAMETER, RegCreateKeyExW(HKEY_CURRENT_USER, tooLong.c_str(), 0,
                                                       nullptr, 0, 0, nullptr, &key, nullptr));
    EXPECT_EQ(ERROR_INVALID_PARAMETER, RegOpenKeyExW(HKEY_CURRENT_USER, u"x", 0, 0, nullptr));
    EXPECT_EQ(ERROR_INVALID_PARAMETER, RegSetValueExW(key, u"n", 0, REG_BINARY, nullptr, 4));

    EXPECT_EQ(ERROR_SUCCESS, RegCloseKey(key));
    EXPECT_EQ(ERROR_INVALID_HANDLE, RegCloseKey(key));
    EXPECT_EQ(ERROR_INVALID_HANDLE, set(key, u"n", "x"));
    EXPECT_EQ(ERROR_INVALID_HANDLE, RegCloseKey(nullptr));
    EXPECT_EQ(ERROR_INVALID_HANDLE, set(nullptr, u"n", "x"));
    EXPECT_EQ(ERROR_INVALID_HANDLE, set(reinterpret_cast<HKEY>(0x1234567), u"n", "x"));
    DWORD count = 99;
    EXPECT_EQ(ERROR_INVALID_HANDLE,
              RegQueryInfoKeyW(nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                               &count, nullptr, nullptr, nullptr, nullptr));
    EXPECT_EQ(ERROR_SUCCESS, RegCloseKey(HKEY_CURRENT_USER));
}

TEST_F(RegistryTest, QueriesReportSizesAndAskForLargerBuffers)
{
    HKEY key = create(u"k");
    ASSERT_EQ(ERROR_SUCCESS, set(key, u"v", "0123456789"));
    DWORD size = 0;
    DWORD type = 0;
    EXPECT_EQ(ERROR_SUCCESS, RegQueryValueExW(key, u"v", nullptr, &type, nullptr, &size));
    EXPECT_EQ(10u, size);
    EXPECT_EQ(DWORD(REG_BINARY), type);
    BYTE small[4] = {};
    size = sizeof small;
    EXPECT_EQ(ERROR_MORE_DATA, RegQueryValueExW(key, u"v", nullptr, nullptr, small, &size));
    EXPECT_EQ(10u, size);
    EXPECT_EQ(ERROR_INVALID_PARAMETER,
              RegQueryValueExW(key, u"v", nullptr, nullptr, small, nullptr));
    // Replacing keeps one value; an empty value is a value of size 0.
    ASSERT_EQ(ERROR_SUCCESS, set(key, u"V", "new"));
    EXPECT_EQ("new", get(key, u"v"));
    ASSERT_EQ(ERROR_SUCCESS, set(key, u"empty", ""));
    EXPECT_EQ("", get(key, u"empty"));
    DWORD values = 0;
    EXPECT_EQ(ERROR_SUCCESS,
              RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &values,
                               nullptr, nullptr, nullptr, nullptr));
    EXPECT_EQ(2u, values);
    RegCloseKey(key);
}

TEST_F(RegistryTest, EnumerationFollowsFirstWritingAndReportsLongNames)
{
    HKEY key = create(u"Software\\Vostrelle\\Game\\hs");
    HKEY sub = create(u"Software\\Vostrelle\\Game\\hs\\inner");
    for (const char16_t* name : {u"2", u"1", u"10"})
        ASSERT_EQ(ERROR_SUCCESS, set(key, name, std::string(name, name + 1)));
    ASSERT_EQ(ERROR_SUCCESS, set(key, u"1", "rewritten")); // keeps its place
    std::u16string longName(70, u'n');
    ASSERT_EQ(ERROR_SUCCESS, set(key, longName.c_str(), "long"));
    ASSERT_EQ(ERROR_SUCCESS, set(key, u"3", "3"));

    std::vector<std::u16string> names;
    char16_t name[64];
    for (DWORD i = 0;; ++i) {
        DWORD length = 64;
        DWORD type = 0;
        DWORD size = 0;
        LONG r = RegEnumValueW(key, i, name, &length, nullptr, &type, nullptr, &size);
        if (r == ERROR_NO_MORE_ITEMS)
            break;
        if (r == ERROR_MORE_DATA) {
            names.push_back(u"<long>");
            EXPECT_EQ(64u, length);
            continue;
        }
        ASSERT_EQ(ERROR_SUCCESS, r);
        EXPECT_EQ(std::char_traits<char16_t>::length(name), length);
        names.push_back(name);
        ASSERT_LT(i, 100u);
    }
    EXPECT_EQ((std::vector<std::u16string>{u"2", u"1", u"10", u"<long>", u"3"}), names);
    // Any index in any order, and a write between two steps, give the same answers.
    auto nameAt = [&](DWORD index) {
        DWORD length = 64;
        LONG r = RegEnumValueW(key, index, name, &length, nullptr, nullptr, nullptr, nullptr);
        return r == ERROR_SUCCESS ? std::u16string(name)
                                  : u"error " + std::u16string(1, u'0' + r % 10);
    };
    EXPECT_EQ(u"3", nameAt(4));
    EXPECT_EQ(u"1", nameAt(1));
    ASSERT_EQ(ERROR_SUCCESS, set(key, u"2", "rewritten"));
    EXPECT_EQ(u"10", nameAt(2));
    EXPECT_EQ(u"2", nameAt(0));
    EXPECT_EQ(u"1", nameAt(1));
    EXPECT_EQ(u"10", nameAt(2));

    DWORD subKeys = 0, maxSub = 0, values = 0, maxName = 0, maxValue = 0;
    ASSERT_EQ(ERROR_SUCCESS,
              RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, &subKeys, &maxSub, nullptr, &values,
                               &maxName, &maxValue, nullptr, nullptr));
    EXPECT_EQ(1u, subKeys);
    EXPECT_EQ(5u, maxSub);
    EXPECT_EQ(5u, values);
    EXPECT_EQ(70u, maxName);
    EXPECT_EQ(9u, maxValue);
    RegCloseKey(sub);
    RegCloseKey(key);
}

TEST_F(RegistryTest, LocalMachineIsReadOnlyAndHoldsTheProfilesTouchDriver)
{
    HKEY key = nullptr;
    EXPECT_EQ(ERROR_FILE_NOT_FOUND,
              RegOpenKeyExW(HKEY_LOCAL_MACHINE, u"HARDWARE\\DEVICEMAP\\TOUCH", 0, 0, &key));
    profile().touchDriver = true;
    ASSERT_EQ(ERROR_SUCCESS,
              RegOpenKeyExW(HKEY_LOCAL_MACHINE, u"HARDWARE\\DEVICEMAP\\TOUCH", 0, 0, &key));
    char16_t driver[256] = {};
    DWORD size = sizeof driver;
    DWORD type = 0;
    ASSERT_EQ(ERROR_SUCCESS, RegQueryValueExW(key, u"DriverName", nullptr, &type,
                                              reinterpret_cast<LPBYTE>(driver), &size));
    EXPECT_EQ(DWORD(REG_SZ), type);
    EXPECT_EQ(std::u16string(u"touch.dll"), driver);
    EXPECT_EQ(ERROR_ACCESS_DENIED, set(key, u"DriverName", "x"));
    HKEY created = nullptr;
    EXPECT_EQ(ERROR_ACCESS_DENIED, RegCreateKeyExW(HKEY_LOCAL_MACHINE, u"SOFTWARE\\x", 0, nullptr,
                                                   0, 0, nullptr, &created, nullptr));
    RegCloseKey(key);
}

TEST_F(RegistryTest, ValuesPersistInAWriteAheadLoggedFile)
{
    HKEY key = create(u"Software\\Vostrelle\\Game\\keys_game");
    ASSERT_EQ(ERROR_SUCCESS, set(key, u"1", "kept"));
    EXPECT_EQ(dbPath(), Registry::openPath());
    Registry::closeDatabase();
    // Keys of a closed database are gone; the values are not.
    EXPECT_EQ(ERROR_INVALID_HANDLE, set(key, u"1", "lost"));
    HKEY reopened = nullptr;
    ASSERT_EQ(
        ERROR_SUCCESS,
        RegOpenKeyExW(HKEY_CURRENT_USER, u"Software\\Vostrelle\\Game\\keys_game", 0, 0, &reopened));
    EXPECT_EQ("kept", get(reopened, u"1"));
    Registry::closeDatabase();

    sqlite3* db = nullptr;
    ASSERT_EQ(SQLITE_OK, sqlite3_open_v2(dbPath().c_str(), &db, SQLITE_OPEN_READONLY, nullptr));
    sqlite3_stmt* s = nullptr;
    ASSERT_EQ(SQLITE_OK, sqlite3_prepare_v2(db, "PRAGMA journal_mode", -1, &s, nullptr));
    ASSERT_EQ(SQLITE_ROW, sqlite3_step(s));
    EXPECT_STREQ("wal", reinterpret_cast<const char*>(sqlite3_column_text(s, 0)));
    sqlite3_finalize(s);
    ASSERT_EQ(SQLITE_OK, sqlite3_prepare_v2(db, "PRAGMA user_version", -1, &s, nullptr));
    ASSERT_EQ(SQLITE_ROW, sqlite3_step(s));
    EXPECT_EQ(1, sqlite3_column_int(s, 0));
    sqlite3_finalize(s);
    sqlite3_close(db);
}

TEST_F(RegistryTest, EmptyingKeepsAFileButEmptiesAnInMemoryDatabaseInPlace)
{
    // A database file is closed, as closeDatabase does: its values stay.
    HKEY key = create(u"Software\\Vostrelle\\Game\\hs1");
    ASSERT_EQ(ERROR_SUCCESS, set(key, u"1", "kept"));
    Registry::emptyDatabase();
    EXPECT_EQ(ERROR_INVALID_HANDLE, set(key, u"1", "lost"));
    EXPECT_EQ("kept", get(create(u"Software\\Vostrelle\\Game\\hs1"), u"1"));

    // One in memory loses every key and value, and its old keys, and works on as a new one.
    profile().registryPath = ":memory:";
    profile().touchDriver = true;
    key = create(u"Software\\Vostrelle\\Game\\hs1");
    ASSERT_EQ(ERROR_SUCCESS, set(key, u"1", "first"));
    ASSERT_EQ(ERROR_SUCCESS, set(key, u"2", "second"));
    Registry::emptyDatabase();
    EXPECT_EQ(":memory:", Registry::openPath());
    EXPECT_EQ(ERROR_INVALID_HANDLE, set(key, u"1", "lost"));
    HKEY gone = nullptr;
    EXPECT_EQ(ERROR_FILE_NOT_FOUND,
              RegOpenKeyExW(HKEY_CURRENT_USER, u"Software\\Vostrelle", 0, 0, &gone));
    key = create(u"Software\\Vostrelle\\Game\\hs1");
    ASSERT_EQ(ERROR_SUCCESS, set(key, u"9", "new"));
    // Enumeration starts afresh: the only value is the new one.
    char16_t name[16] = {};
    DWORD length = 16;
    ASSERT_EQ(ERROR_SUCCESS,
              RegEnumValueW(key, 0, name, &length, nullptr, nullptr, nullptr, nullptr));
    EXPECT_EQ(std::u16string(u"9"), name);
    length = 16;
    EXPECT_EQ(ERROR_NO_MORE_ITEMS,
              RegEnumValueW(key, 1, name, &length, nullptr, nullptr, nullptr, nullptr));
    // The machine store still holds what the profile gives.
    HKEY touch = nullptr;
    EXPECT_EQ(ERROR_SUCCESS,
              RegOpenKeyExW(HKEY_LOCAL_MACHINE, u"HARDWARE\\DEVICEMAP\\TOUCH", 0, 0, &touch));
}

TEST_F(RegistryTest, AFileThatIsNoDatabaseIsMovedAsideAndAFreshOneStarts)
{
    std::string garbage(4096, 'g');
    folder.write("data/pallasterhorn/registry.sqlite", garbage);
    testsupport::StderrCapture stderrText;
    HKEY key = create(u"Software\\Vostrelle\\Game\\op_music");
    std::string message = stderrText.text();
    ASSERT_NE(nullptr, key);
    EXPECT_EQ(ERROR_SUCCESS, set(key, u"1", "fresh"));
    EXPECT_EQ("fresh", get(key, u"1"));
    EXPECT_NE(std::string::npos, message.find("damaged")) << message;
    std::vector<std::string> copies = damagedCopies();
    ASSERT_EQ(1u, copies.size());
    EXPECT_NE(std::string::npos, message.find(copies[0])) << message;
    EXPECT_EQ(garbage, folder.read(std::filesystem::relative(copies[0], folder.path())));
    // A windowed run shows no stderr: the player is told in a box where the old file went.
    std::vector<std::string> told = boxes();
    ASSERT_EQ(1u, told.size());
    EXPECT_NE(std::string::npos, told[0].find("damaged")) << told[0];
    EXPECT_NE(std::string::npos, told[0].find(copies[0])) << told[0];
    RegCloseKey(key);
}

TEST_F(RegistryTest, ADamagedDatabaseIsMovedAsideAndAFreshOneStarts)
{
    HKEY key = create(u"Software\\Vostrelle\\Game\\store");
    for (int i = 0; i < 200; ++i) {
        std::string name = std::string(1, char('a' + i % 26)) + std::to_string(i);
        ASSERT_EQ(ERROR_SUCCESS, set(key, std::u16string(name.begin(), name.end()).c_str(),
                                     std::string(300, 'v')));
    }
    RegCloseKey(key);
    Registry::closeDatabase();
    std::string bytes = folder.read("data/pallasterhorn/registry.sqlite");
    ASSERT_GT(bytes.size(), 3 * 4096u);
    for (size_t i = 4096 + 8; i < 3 * 4096; ++i)
        bytes[i] = static_cast<char>(0xA5);
    folder.write("data/pallasterhorn/registry.sqlite", bytes);

    testsupport::StderrCapture stderrText;
    HKEY fresh = create(u"Software\\Vostrelle\\Game\\store");
    std::string message = stderrText.text();
    ASSERT_NE(nullptr, fresh);
    EXPECT_EQ("error 2", get(fresh, u"a0"));
    EXPECT_EQ(ERROR_SUCCESS, set(fresh, u"1", "new"));
    EXPECT_EQ("new", get(fresh, u"1"));
    EXPECT_EQ(1u, damagedCopies().size()) << message;
    RegCloseKey(fresh);
}

TEST_F(RegistryTest, AFolderThatCannotBeMadeFailsEveryCallWithoutACrash)
{
    profile().registryPath = "/proc/pallasterhorn-test/registry.sqlite";
    testsupport::StderrCapture stderrText;
    HKEY key = nullptr;
    EXPECT_EQ(ERROR_PATH_NOT_FOUND,
              RegCreateKeyExW(HKEY_CURRENT_USER, u"a", 0, nullptr, 0, 0, nullptr, &key, nullptr));
    EXPECT_EQ(ERROR_PATH_NOT_FOUND, RegOpenKeyExW(HKEY_CURRENT_USER, u"a", 0, 0, &key));
    EXPECT_EQ(ERROR_PATH_NOT_FOUND, set(HKEY_CURRENT_USER, u"v", "x"));
    std::string message = stderrText.text();
    EXPECT_NE(std::string::npos, message.find("cannot create the registry folder"));
    // Reported once, not at every call.
    EXPECT_EQ(message.find("cannot create"), message.rfind("cannot create"));
    // With a usable path again, the registry works.
    profile().registryPath = dbPath();
    EXPECT_NE(nullptr, create(u"a"));
}

TEST_F(RegistryTest, StorageFailuresLeaveTheOldValueAndNoHalfMadeKeys)
{
    HKEY key = create(u"Software\\Vostrelle\\Game\\store");
    ASSERT_EQ(ERROR_SUCCESS, set(key, u"1", "old"));
    RegistryFaults::failNthStatement(1, SQLITE_FULL);
    EXPECT_EQ(ERROR_DISK_FULL, set(key, u"1", "new"));
    EXPECT_EQ("old", get(key, u"1"));
    RegistryFaults::failNthStatement(1, SQLITE_IOERR);
    EXPECT_EQ(ERROR_WRITE_FAULT, set(key, u"1", "new"));
    EXPECT_EQ("old", get(key, u"1"));

    // Statements of a creation: BEGIN, then a lookup and an insert per new key, then COMMIT.
    for (unsigned n = 1; n <= 8; ++n) {
        RegistryFaults::failNthStatement(n, SQLITE_IOERR);
        HKEY made = nullptr;
        LONG r = RegCreateKeyExW(HKEY_CURRENT_USER, u"Software\\New\\Deep\\Key", 0, nullptr, 0, 0,
                                 nullptr, &made, nullptr);
        RegistryFaults::clearFaults();
        HKEY probe = nullptr;
        LONG parent = RegOpenKeyExW(HKEY_CURRENT_USER, u"Software\\New", 0, 0, &probe);
        if (r == ERROR_SUCCESS) {
            EXPECT_EQ(ERROR_SUCCESS, parent);
            RegCloseKey(made);
            RegCloseKey(probe);
            break;
        }
        EXPECT_EQ(ERROR_WRITE_FAULT, r) << n;
        EXPECT_EQ(ERROR_FILE_NOT_FOUND, parent) << "failing statement " << n;
    }
    RegCloseKey(key);
}

TEST_F(RegistryTest, DamageFoundDuringUseMovesTheDatabaseAsideAtTheNextCall)
{
    HKEY key = create(u"Software\\Vostrelle\\Game\\store");
    ASSERT_EQ(ERROR_SUCCESS, set(key, u"1", "before"));
    RegistryFaults::failNthStatement(1, SQLITE_CORRUPT);
    EXPECT_EQ(ERROR_BADDB, set(key, u"1", "after"));
    testsupport::StderrCapture stderrText;
    HKEY fresh = create(u"Software\\Vostrelle\\Game\\store");
    std::string message = stderrText.text();
    ASSERT_NE(nullptr, fresh);
    EXPECT_NE(std::string::npos, message.find("damaged")) << message;
    EXPECT_EQ(1u, damagedCopies().size());
    // The old key belonged to the database that was moved aside.
    EXPECT_EQ(ERROR_INVALID_HANDLE, set(key, u"1", "x"));
    EXPECT_EQ("error 2", get(fresh, u"1"));
    EXPECT_EQ(ERROR_SUCCESS, set(fresh, u"1", "fresh"));
    RegCloseKey(fresh);
}

// Another program (a second instance, or a developer's shell) holds the write lock: a save waits
// for it once, briefly, then fails at once until the lock is gone, and goes through after that.
TEST_F(RegistryTest, AWriterWaitsOnceForAnotherConnectionsLockAndSavesOnceItIsFree)
{
    profile().clock = platform::ClockMode::Fake;
    platform::FakeClock::freeze(0);
    HKEY key = create(u"Software\\Vostrelle\\Game\\store");
    ASSERT_EQ(ERROR_SUCCESS, set(key, u"1", "first"));
    sqlite3* other = nullptr;
    ASSERT_EQ(SQLITE_OK, sqlite3_open(dbPath().c_str(), &other));
    ASSERT_EQ(SQLITE_OK, sqlite3_exec(other, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr));
    const int64_t start = platform::monotonicMillis();
    EXPECT_EQ(ERROR_WRITE_FAULT, set(key, u"1", "second"));
    const int64_t waited = platform::monotonicMillis() - start;
    EXPECT_GE(waited, 40);
    EXPECT_LE(waited, 200);
    for (int save = 0; save < 30; ++save)
        EXPECT_EQ(ERROR_WRITE_FAULT, set(key, u"1", "second"));
    EXPECT_LE(platform::monotonicMillis() - start, waited + 30) << "later saves waited again";
    EXPECT_EQ("first", get(key, u"1")); // reading needs no lock
    std::vector<std::string> told = boxes();
    ASSERT_EQ(1u, told.size());
    EXPECT_NE(std::string::npos, told[0].find("another program holds it locked")) << told[0];

    sqlite3_exec(other, "COMMIT", nullptr, nullptr, nullptr);
    sqlite3_close(other);
    EXPECT_EQ(ERROR_SUCCESS, set(key, u"1", "second"));
    RegCloseKey(key);
    Registry::closeDatabase();
    key = nullptr;
    ASSERT_EQ(ERROR_SUCCESS,
              RegOpenKeyExW(HKEY_CURRENT_USER, u"Software\\Vostrelle\\Game\\store", 0, 0, &key));
    EXPECT_EQ("second", get(key, u"1"));
    RegCloseKey(key);
}

TEST_F(RegistryTest, ShutdownWritesTheLogIntoTheMainFileAndMayBeRepeated)
{
    HKEY key = create(u"Software\\Vostrelle\\Game\\highscores");
    ASSERT_EQ(ERROR_SUCCESS, set(key, u"1", "ALF 1200"));
    // While open, the value may live in the log only; shut down, the main file holds it.
    Registry::shutdown();
    EXPECT_EQ("", Registry::openPath());
    std::error_code ec;
    EXPECT_EQ(0u, std::filesystem::exists(dbPath() + "-wal", ec)
                      ? std::filesystem::file_size(dbPath() + "-wal")
                      : 0u);
    EXPECT_EQ("ALF 1200", valueInMainFileOnly("1"));
    Registry::shutdown();
    EXPECT_EQ(ERROR_INVALID_HANDLE, set(key, u"1", "lost"));
    // The next call opens the database again.
    HKEY again = create(u"Software\\Vostrelle\\Game\\highscores");
    EXPECT_EQ("ALF 1200", get(again, u"1"));
    RegCloseKey(again);
}

TEST_F(RegistryTest, AProgramThatEndsWithoutShuttingDownStillLeavesEveryValueInTheMainFile)
{
    Registry::closeDatabase();
    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        alarm(20); // a hang ends the child, and so the test, instead of blocking it
        HKEY key = nullptr;
        RegCreateKeyExW(HKEY_CURRENT_USER, u"Software\\Vostrelle\\Game\\options", 0, nullptr, 0, 0,
                        nullptr, &key, nullptr);
        // Many writes, so that the log is far from being written back on its own.
        for (int i = 0; i < 50; ++i)
            set(key, u"volume", "level " + std::to_string(i));
        std::exit(0);
    }
    int status = 0;
    ASSERT_EQ(child, waitpid(child, &status, 0));
    ASSERT_TRUE(WIFEXITED(status)) << "status " << status;
    EXPECT_EQ("level 49", valueInMainFileOnly("volume"));
}

TEST_F(RegistryTest, AnotherProgramsDatabaseIsMovedAsideWithABoxAndAFreshOneStarts)
{
    writeDatabase("CREATE TABLE scores(player TEXT, points INTEGER);"
                  "INSERT INTO scores VALUES('someone', 5);");
    HKEY key = create(u"Software\\Vostrelle\\Game\\op_music");
    ASSERT_NE(nullptr, key);
    EXPECT_EQ(ERROR_SUCCESS, set(key, u"1", "fresh"));
    EXPECT_EQ("fresh", get(key, u"1"));
    std::vector<std::string> copies = damagedCopies("foreign");
    ASSERT_EQ(1u, copies.size());
    std::vector<std::string> told = boxes();
    ASSERT_EQ(1u, told.size());
    EXPECT_NE(std::string::npos, told[0].find(copies[0])) << told[0];
    EXPECT_NE(std::string::npos, told[0].find("scores")) << told[0];
    // The moved file is the other program's, untouched.
    sqlite3* db = nullptr;
    ASSERT_EQ(SQLITE_OK, sqlite3_open_v2(copies[0].c_str(), &db, SQLITE_OPEN_READONLY, nullptr));
    sqlite3_stmt* s = nullptr;
    ASSERT_EQ(SQLITE_OK, sqlite3_prepare_v2(db, "SELECT points FROM scores", -1, &s, nullptr));
    ASSERT_EQ(SQLITE_ROW, sqlite3_step(s));
    EXPECT_EQ(5, sqlite3_column_int(s, 0));
    sqlite3_finalize(s);
    sqlite3_close(db);
    RegCloseKey(key);

    // Tables of our names with other columns are no more ours.
    Registry::closeDatabase();
    std::filesystem::remove(dbPath());
    writeDatabase("CREATE TABLE keys(k TEXT); PRAGMA user_version=1;");
    HKEY other = create(u"a");
    EXPECT_NE(nullptr, other);
    EXPECT_EQ(2u, damagedCopies("foreign").size());
    RegCloseKey(other);
}

TEST_F(RegistryTest, ADatabaseOfANewerVersionIsMovedAsideNotMisread)
{
    writeDatabase("CREATE TABLE keys(id INTEGER PRIMARY KEY, parent INTEGER, name TEXT);"
                  "CREATE TABLE vals(key INTEGER, name TEXT, type INTEGER, data BLOB);"
                  "INSERT INTO keys VALUES(1, 0, 'Software');"
                  "PRAGMA user_version=2;");
    HKEY key = nullptr;
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, RegOpenKeyExW(HKEY_CURRENT_USER, u"Software", 0, 0, &key));
    std::vector<std::string> copies = damagedCopies("newer");
    ASSERT_EQ(1u, copies.size());
    std::vector<std::string> told = boxes();
    ASSERT_EQ(1u, told.size());
    EXPECT_NE(std::string::npos, told[0].find("newer version")) << told[0];
    EXPECT_NE(std::string::npos, told[0].find(copies[0])) << told[0];
    // The fresh database is ours and of this version.
    HKEY made = create(u"Software");
    EXPECT_EQ(ERROR_SUCCESS, set(made, u"v", "x"));
    RegCloseKey(made);
}

TEST_F(RegistryTest, TablesMadeBeforeTheVersionWasWrittenAreKept)
{
    // A first start cut short between the tables and the version number.
    writeDatabase("CREATE TABLE keys(id INTEGER PRIMARY KEY, parent INTEGER,"
                  " name TEXT COLLATE NOCASE, UNIQUE(parent, name));"
                  "CREATE TABLE vals(key INTEGER, name TEXT COLLATE NOCASE, type INTEGER,"
                  " data BLOB, PRIMARY KEY(key, name));"
                  "INSERT INTO keys VALUES(1, 0, 'Kept');"
                  "INSERT INTO vals VALUES(1, 'v', 3, x'6F6B');");
    HKEY key = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExW(HKEY_CURRENT_USER, u"Kept", 0, 0, &key));
    EXPECT_EQ("ok", get(key, u"v"));
    EXPECT_TRUE(boxes().empty());
    RegCloseKey(key);
}

// Tests run as root, for whom file modes do not stop writes: the fault injection stands in for a
// write-protected file or folder and takes the same road as one.
TEST_F(RegistryTest, ADatabaseThatCannotBeWrittenIsReadWithOneNotice)
{
    HKEY key = create(u"Software\\Vostrelle\\Game\\highscores");
    ASSERT_EQ(ERROR_SUCCESS, set(key, u"1", "kept"));
    RegCloseKey(key);
    Registry::closeDatabase();
    const std::string before = folder.read("data/pallasterhorn/registry.sqlite");

    RegistryFaults::refuseWrites(true);
    HKEY store = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExW(HKEY_CURRENT_USER,
                                           u"Software\\Vostrelle\\Game\\highscores", 0, 0, &store));
    EXPECT_TRUE(Registry::readOnly());
    EXPECT_EQ("kept", get(store, u"1"));
    EXPECT_EQ(ERROR_ACCESS_DENIED, set(store, u"1", "new"));
    EXPECT_EQ(ERROR_ACCESS_DENIED, set(store, u"2", "new"));
    HKEY made = nullptr;
    EXPECT_NE(ERROR_SUCCESS, RegCreateKeyExW(HKEY_CURRENT_USER, u"Software\\New", 0, nullptr, 0, 0,
                                             nullptr, &made, nullptr));
    EXPECT_EQ("kept", get(store, u"1"));
    // The touch probe of the machine store still answers.
    profile().touchDriver = true;
    HKEY touch = nullptr;
    EXPECT_EQ(ERROR_SUCCESS,
              RegOpenKeyExW(HKEY_LOCAL_MACHINE, u"HARDWARE\\DEVICEMAP\\TOUCH", 0, 0, &touch));
    RegCloseKey(touch);
    RegCloseKey(store);

    // Said once, however often the database is opened again in the run; nothing moved aside.
    Registry::closeDatabase();
    EXPECT_EQ(ERROR_SUCCESS, RegOpenKeyExW(HKEY_CURRENT_USER, u"Software", 0, 0, &store));
    RegCloseKey(store);
    std::vector<std::string> told = boxes();
    ASSERT_EQ(1u, told.size());
    EXPECT_NE(std::string::npos, told[0].find(dbPath())) << told[0];
    EXPECT_NE(std::string::npos, told[0].find("not written")) << told[0];
    EXPECT_TRUE(damagedCopies().empty());
    Registry::shutdown();
    EXPECT_EQ(before, folder.read("data/pallasterhorn/registry.sqlite"));

    RegistryFaults::refuseWrites(false);
    EXPECT_EQ(ERROR_SUCCESS, set(HKEY_CURRENT_USER, u"v", "x"));
    EXPECT_FALSE(Registry::readOnly());
}

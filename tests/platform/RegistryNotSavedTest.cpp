// Records that cannot be saved: a full disk during a save, and a records file that cannot be
// opened in any of the ways a player's disk offers. Each is told once with a message box, leaves
// the file as it was, and lets the game go on.
#include "RegistryFixture.h"
#include "StderrCapture.h"
#include "TempFolder.h"

#include <sqlite3.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

using platform::Registry;
using platform::RegistryFaults;
namespace fs = std::filesystem;

namespace {

class RecordsNotSaved : public RegistryFixture
{
  protected:
    // A player's records: one highscore, written and closed in order.
    void writeRecords()
    {
        HKEY key = create(u"Software\\Vostrelle\\Game\\highscores");
        ASSERT_NE(nullptr, key);
        ASSERT_EQ(ERROR_SUCCESS, set(key, u"1", "ALF 1200"));
        RegCloseKey(key);
        Registry::closeDatabase();
    }

    // What is at `path` (kind, link target, contents or listing) and what lies beside it.
    static std::string fingerprint(const std::string& path)
    {
        std::string out;
        std::error_code ec;
        for (const auto& e : fs::directory_iterator(fs::path(path).parent_path(), ec))
            out += e.path().filename().string() + ";";
        struct stat st
        {
        };
        if (lstat(path.c_str(), &st) != 0)
            return out + "absent";
        out += "mode " + std::to_string(st.st_mode) + ";";
        if (S_ISLNK(st.st_mode)) {
            out += "link " + fs::read_symlink(path, ec).string();
        } else if (S_ISREG(st.st_mode)) {
            out += "bytes " + std::to_string(std::hash<std::string>{}(testsupport::readFile(path)));
        } else if (S_ISDIR(st.st_mode)) {
            for (const auto& e : fs::directory_iterator(path, ec))
                out += "/" + e.path().filename().string();
        }
        return out;
    }

    // The game's calls on records that cannot be opened: each fails, nothing crashes, the
    // player is told once (however often the game tries), and the file stays as it was.
    void expectToldOnceAndUntouched(const std::string& path, const char* reason)
    {
        const std::string before = fingerprint(path);
        testsupport::StderrCapture stderrText;
        for (int attempt = 0; attempt < 2; ++attempt) {
            LONG made = ERROR_SUCCESS;
            EXPECT_EQ(nullptr, tryCreate(u"Software\\Vostrelle\\Game\\op_sound", made));
            EXPECT_NE(ERROR_SUCCESS, made);
            EXPECT_NE(ERROR_SUCCESS, set(HKEY_CURRENT_USER, u"v", "x"));
            HKEY key = nullptr;
            EXPECT_NE(ERROR_SUCCESS, RegOpenKeyExW(HKEY_CURRENT_USER, u"Software", 0, 0, &key));
            Registry::closeDatabase();
        }
        stderrText.text();
        std::vector<std::string> told = boxes();
        ASSERT_EQ(1u, told.size()) << reason;
        EXPECT_NE(std::string::npos, told[0].find(dbPath())) << told[0];
        EXPECT_NE(std::string::npos, told[0].find("nothing is saved")) << told[0];
        EXPECT_EQ(before, fingerprint(path)) << reason;
    }
};

TEST_F(RecordsNotSaved, AFullDiskDuringASaveIsToldOnceAndALaterSaveSucceeds)
{
    // Opened through the room limit from the start, with plenty of room.
    RegistryFaults::limitDiskRoom(int64_t{1} << 30);
    HKEY key = create(u"Software\\Vostrelle\\Game\\highscores");
    ASSERT_NE(nullptr, key);
    ASSERT_EQ(ERROR_SUCCESS, set(key, u"1", "ALF 1200"));

    RegistryFaults::limitDiskRoom(0);
    EXPECT_EQ(ERROR_DISK_FULL, set(key, u"1", "BOB 9000"));
    EXPECT_EQ(ERROR_DISK_FULL, set(key, u"2", "CAT 100"));
    LONG made = ERROR_SUCCESS;
    EXPECT_EQ(nullptr, tryCreate(u"Software\\Vostrelle\\Game\\op_sound", made));
    EXPECT_EQ(ERROR_DISK_FULL, made);
    // The failed saves changed nothing.
    EXPECT_EQ("ALF 1200", get(key, u"1"));
    EXPECT_EQ("error 2", get(key, u"2"));
    HKEY probe = nullptr;
    EXPECT_EQ(
        ERROR_FILE_NOT_FOUND,
        RegOpenKeyExW(HKEY_CURRENT_USER, u"Software\\Vostrelle\\Game\\op_sound", 0, 0, &probe));

    std::vector<std::string> told = boxes();
    ASSERT_EQ(1u, told.size());
    EXPECT_NE(std::string::npos, told[0].find(dbPath())) << told[0];
    EXPECT_NE(std::string::npos, told[0].find("disk is full")) << told[0];

    // Room again: the next save goes through and outlives the run, without another box.
    RegistryFaults::limitDiskRoom(-1);
    EXPECT_EQ(ERROR_SUCCESS, set(key, u"1", "BOB 9000"));
    RegCloseKey(key);
    Registry::shutdown();
    RegistryFaults::limitDiskRoom(0); // reading needs no room
    key = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExW(HKEY_CURRENT_USER,
                                           u"Software\\Vostrelle\\Game\\highscores", 0, 0, &key));
    EXPECT_EQ("BOB 9000", get(key, u"1"));
    RegCloseKey(key);
    EXPECT_EQ(1u, boxes().size());
}

TEST_F(RecordsNotSaved, AFullDiskAtOpenKeepsTheRecordsReadableWithOneNotice)
{
    writeRecords();
    const std::string before = folder.read("data/pallasterhorn/registry.sqlite");
    RegistryFaults::limitDiskRoom(0);
    HKEY key = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExW(HKEY_CURRENT_USER,
                                           u"Software\\Vostrelle\\Game\\highscores", 0, 0, &key));
    EXPECT_EQ("ALF 1200", get(key, u"1"));
    EXPECT_NE(ERROR_SUCCESS, set(key, u"1", "BOB 9000"));
    RegCloseKey(key);
    Registry::closeDatabase();
    std::vector<std::string> told = boxes();
    ASSERT_EQ(1u, told.size());
    EXPECT_NE(std::string::npos, told[0].find("nothing is saved")) << told[0];
    EXPECT_TRUE(before == folder.read("data/pallasterhorn/registry.sqlite"));
}

TEST_F(RecordsNotSaved, AFullDiskAtTheFirstOpenIsToldOnce)
{
    RegistryFaults::limitDiskRoom(0);
    const std::string path = dbPath();
    testsupport::StderrCapture stderrText;
    for (int attempt = 0; attempt < 2; ++attempt) {
        LONG made = ERROR_SUCCESS;
        EXPECT_EQ(nullptr, tryCreate(u"Software\\Vostrelle\\Game\\op_sound", made));
        EXPECT_NE(ERROR_SUCCESS, made);
        Registry::closeDatabase();
    }
    stderrText.text();
    ASSERT_EQ(1u, boxes().size());
    EXPECT_NE(std::string::npos, boxes()[0].find("cannot be opened")) << boxes()[0];
    // No records were there, and none are made up: at most the empty file the disk took.
    std::error_code ec;
    EXPECT_TRUE(!fs::exists(path, ec) || fs::file_size(path, ec) == 0);
}

TEST_F(RecordsNotSaved, AFolderInTheFilesPlace)
{
    fs::create_directories(dbPath() + "/inside");
    expectToldOnceAndUntouched(dbPath(), "folder");
}

TEST_F(RecordsNotSaved, APipeInTheFilesPlace)
{
    fs::create_directories(folderPath());
    ASSERT_EQ(0, mkfifo(dbPath().c_str(), 0600));
    expectToldOnceAndUntouched(dbPath(), "pipe");
}

TEST_F(RecordsNotSaved, ALinkToTheNullDeviceInTheFilesPlace)
{
    fs::create_directories(folderPath());
    fs::create_symlink("/dev/null", dbPath());
    const std::string devices = fingerprint("/dev/null");
    expectToldOnceAndUntouched(dbPath(), "/dev/null");
    EXPECT_EQ(devices, fingerprint("/dev/null")); // nothing made beside the device either
}

TEST_F(RecordsNotSaved, ADanglingLink)
{
    fs::create_directories(folderPath());
    fs::create_symlink(folder.path() + "/gone/registry.sqlite", dbPath());
    expectToldOnceAndUntouched(dbPath(), "dangling link");
}

TEST_F(RecordsNotSaved, AParentThatIsAFile)
{
    folder.write("data/pallasterhorn", "not a folder");
    expectToldOnceAndUntouched(folderPath(), "parent is a file");
}

TEST_F(RecordsNotSaved, AFolderThatCannotBeMade)
{
    profile().registryPath = "/proc/pallasterhorn-test/registry.sqlite";
    testsupport::StderrCapture stderrText;
    LONG made = ERROR_SUCCESS;
    EXPECT_EQ(nullptr, tryCreate(u"Software\\Vostrelle\\Game\\op_sound", made));
    EXPECT_EQ(ERROR_PATH_NOT_FOUND, made);
    Registry::closeDatabase();
    EXPECT_EQ(nullptr, tryCreate(u"Software\\Vostrelle\\Game\\op_sound", made));
    stderrText.text();
    std::vector<std::string> told = boxes();
    ASSERT_EQ(1u, told.size());
    EXPECT_NE(std::string::npos, told[0].find("/proc/pallasterhorn-test/registry.sqlite"));
    EXPECT_NE(std::string::npos, told[0].find("nothing is saved")) << told[0];
}

TEST_F(RecordsNotSaved, ALockHeldLongerThanTheGameWaits)
{
    writeRecords();
    // Another program holds the file locked for as long as it likes.
    sqlite3* other = nullptr;
    ASSERT_EQ(SQLITE_OK, sqlite3_open(dbPath().c_str(), &other));
    ASSERT_EQ(SQLITE_OK, sqlite3_exec(other, "PRAGMA locking_mode=EXCLUSIVE; BEGIN EXCLUSIVE;",
                                      nullptr, nullptr, nullptr));
    RegistryFaults::lockWait(50);
    expectToldOnceAndUntouched(dbPath(), "lock");
    sqlite3_exec(other, "COMMIT", nullptr, nullptr, nullptr);
    sqlite3_close(other);
    // Once the lock is gone the records are there as they were.
    Registry::closeDatabase();
    HKEY key = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExW(HKEY_CURRENT_USER,
                                           u"Software\\Vostrelle\\Game\\highscores", 0, 0, &key));
    EXPECT_EQ("ALF 1200", get(key, u"1"));
    RegCloseKey(key);
}

// A file that may be neither read nor written (mode 000). File modes do not stop root, so the
// check runs in a child that gives up root first; without that right it cannot be made.
TEST_F(RecordsNotSaved, AFileThatMayNotBeRead)
{
    writeRecords();
    const std::string before = fingerprint(dbPath());
    struct stat st
    {
    };
    ASSERT_EQ(0, stat(dbPath().c_str(), &st));
    ASSERT_EQ(0, chmod(dbPath().c_str(), 0));
    for (std::string p = folderPath(); p.size() >= folder.path().size();
         p = fs::path(p).parent_path().string())
        chmod(p.c_str(), 0755);
    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0))
            _exit(77);
        LONG made = ERROR_SUCCESS;
        HKEY key = tryCreate(u"Software\\Vostrelle\\Game\\highscores", made);
        LONG again = ERROR_SUCCESS;
        Registry::closeDatabase();
        tryCreate(u"Software\\Vostrelle\\Game\\highscores", again);
        std::vector<std::string> told = boxes();
        bool ok = !key && made != ERROR_SUCCESS && again != ERROR_SUCCESS && told.size() == 1 &&
                  told[0].find("nothing is saved") != std::string::npos;
        _exit(ok ? 0 : 1);
    }
    int status = 0;
    waitpid(child, &status, 0);
    chmod(dbPath().c_str(), st.st_mode & 07777);
    ASSERT_TRUE(WIFEXITED(status));
    if (WEXITSTATUS(status) == 77)
        GTEST_SKIP() << "no right to give up root here";
    EXPECT_EQ(0, WEXITSTATUS(status)) << "the child saw no single notice";
    EXPECT_EQ(before, fingerprint(dbPath()));
}

} // namespace

namespace {

// A records path that reads like an SQLite URI is a plain path all the same: the file is made
// where the path says (here below the working folder), parameters and all, and keeps its values.
TEST_F(RecordsNotSaved, ARecordsPathIsAPlainPathNeverAUri)
{
    const fs::path working = fs::current_path();
    fs::current_path(folder.path());
    profile().registryPath = "file:records.sqlite?mode=memory";
    HKEY key = create(u"Software\\Vostrelle\\Game\\highscores");
    ASSERT_NE(nullptr, key);
    EXPECT_EQ(ERROR_SUCCESS, set(key, u"1", "ALF 1200"));
    RegCloseKey(key);
    Registry::closeDatabase();
    key = nullptr;
    EXPECT_EQ(ERROR_SUCCESS, RegOpenKeyExW(HKEY_CURRENT_USER,
                                           u"Software\\Vostrelle\\Game\\highscores", 0, 0, &key));
    EXPECT_EQ("ALF 1200", get(key, u"1"));
    RegCloseKey(key);
    Registry::closeDatabase();
    fs::current_path(working);
    EXPECT_TRUE(fs::is_regular_file(folder.path() + "/file:records.sqlite?mode=memory"));
    EXPECT_FALSE(fs::exists(folder.path() + "/records.sqlite"));
}

} // namespace

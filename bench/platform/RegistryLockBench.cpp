// What another program's lock on the records file costs the start, on the real clock: the records
// are opened and used some 30 times (reads of settings and highscores, one save), as the start up
// to the main menu does, while a second process holds the file locked for as long as it likes:
// readers and writers alike ("all"), or writers only ("writes"). Without a lock for comparison.
#include "platform/DeviceProfile.h"
#include "platform/EmulatedDevice.h"
#include "platform/registry.h"
#include "platform/window/WindowSystem.h"

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace {

enum class Lock { None, Writes, All };

// A process holding `path` locked until it is destroyed.
class Holder
{
  public:
    Holder(const std::string& path, Lock lock)
    {
        if (lock == Lock::None)
            return;
        int ready[2], release[2];
        if (pipe(ready) != 0 || pipe(release) != 0)
            std::abort();
        m_child = fork();
        if (m_child == 0) {
            close(ready[0]);
            close(release[1]);
            sqlite3* db = nullptr;
            const char* sql = lock == Lock::All ? "PRAGMA locking_mode=EXCLUSIVE; BEGIN EXCLUSIVE;"
                                                : "BEGIN IMMEDIATE;";
            char done = sqlite3_open(path.c_str(), &db) == SQLITE_OK &&
                                sqlite3_exec(db, sql, nullptr, nullptr, nullptr) == SQLITE_OK
                            ? 1
                            : 0;
            (void)!write(ready[1], &done, 1);
            char byte = 0;
            (void)!read(release[0], &byte, 1);
            _exit(0);
        }
        close(ready[1]);
        close(release[0]);
        m_release = release[1];
        char done = 0;
        if (read(ready[0], &done, 1) != 1 || done != 1)
            std::abort();
        close(ready[0]);
    }
    ~Holder()
    {
        if (m_release >= 0)
            close(m_release);
        if (m_child > 0)
            waitpid(m_child, nullptr, 0);
    }

  private:
    pid_t m_child = -1;
    int m_release = -1;
};

void startWithRecords(benchmark::State& state, Lock lock)
{
    platform::EmulatedDevice::reset();
    platform::DeviceProfile& profile = platform::EmulatedDevice::profile();
    profile.clock = platform::ClockMode::Real;
    profile.messageBoxes = platform::MessageBoxMode::Recorded;
    char pattern[] = "/tmp/ph-bench-lock-XXXXXX";
    const std::string folder = mkdtemp(pattern);
    profile.registryPath = folder + "/registry.sqlite";
    HKEY key = nullptr;
    RegCreateKeyExW(HKEY_CURRENT_USER, u"Software\\Vostrelle\\Game\\op_sound", 0, nullptr, 0, 0,
                    nullptr, &key, nullptr);
    RegSetValueExW(key, u"1", 0, REG_BINARY, reinterpret_cast<const BYTE*>("on"), 2);
    RegCloseKey(key);
    platform::Registry::closeDatabase();
    {
        Holder holder(profile.registryPath, lock);
        for (auto _ : state) {
            platform::Registry::closeDatabase(); // a new run
            for (int call = 0; call < 10; ++call) {
                BYTE data[16];
                DWORD size = sizeof data;
                key = nullptr;
                if (RegOpenKeyExW(HKEY_CURRENT_USER, u"Software\\Vostrelle\\Game\\op_sound", 0, 0,
                                  &key) == ERROR_SUCCESS) {
                    RegQueryValueExW(key, u"1", nullptr, nullptr, data, &size);
                    RegCloseKey(key);
                }
                RegQueryValueExW(HKEY_CURRENT_USER, u"none", nullptr, nullptr, data, &size);
            }
            RegSetValueExW(HKEY_CURRENT_USER, u"saved", 0, REG_BINARY,
                           reinterpret_cast<const BYTE*>("1"), 1);
        }
        platform::Registry::closeDatabase();
    }
    std::filesystem::remove_all(folder);
    platform::EmulatedDevice::reset();
}

void BM_StartWithRecordsUnlocked(benchmark::State& state)
{
    startWithRecords(state, Lock::None);
}
void BM_StartWithRecordsLockedForWrites(benchmark::State& state)
{
    startWithRecords(state, Lock::Writes);
}
void BM_StartWithRecordsLockedForAll(benchmark::State& state)
{
    startWithRecords(state, Lock::All);
}

BENCHMARK(BM_StartWithRecordsUnlocked)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StartWithRecordsLockedForWrites)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StartWithRecordsLockedForAll)->Unit(benchmark::kMillisecond);

} // namespace

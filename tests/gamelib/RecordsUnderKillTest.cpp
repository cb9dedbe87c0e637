// Highscores, keys and options saved by a child process that is killed (SIGKILL) while it saves,
// round after round on the same records: every restart reads each record whole, either as it
// was or as it was being written, and the program still starts on those records.
//
// Kills are placed by counting, never by waiting: in half the rounds the child kills itself at
// the n-th change its file system layer sees (inside a transaction, before or after a sync), in
// the others the parent kills it after reading a number of "generation saved" notes, wherever
// the child has got to by then.
#include "MenuOwnerFixture.h"
#include "ScriptedRun.h"

#include "gamelib/CustomControls.h"
#include "gamelib/GameMenu.h"
#include "lang/DExceptionBase.h"
#include "lang/DObjectArray.h"
#include "lang/DStringArray.h"
#include "lang/DintArray.h"
#include "platform/registry.h"
#include "platform/window/WindowSystem.h"

#include <sqlite3.h>

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <sys/wait.h>
#include <unistd.h>

using gamelib::CustomControls;
using gamelib::CustomControlsPtr;
using gamelib::GameMenu;
using gamelib::GameMenuPtr;
using gamelibtest::ascii;
using gamelibtest::str;
using qev::lang::dcast;
using qev::lang::DintArray;
using testsupport::readFile;

namespace {

constexpr const char16_t* kGame = u"killgame";
constexpr const char16_t* kOption = u"killgame_volume";
constexpr int32_t kControlsMask = 28; // three configurable actions
constexpr int32_t kEntries = 5;
// Key codes far above the canvas's defaults, so a stored key never looks like a default one.
constexpr int32_t kKeyBase = 1 << 20;
// The child's saves are bounded; after them it waits to be killed.
constexpr int64_t kMaxGenerations = 20000;

// Generation g's table: entry i is named "g<g>e<i>" and scores 16 g + 15 - i.
std::string entryName(int64_t g, int i)
{
    return "g" + std::to_string(g) + "e" + std::to_string(i);
}
int32_t entryScore(int64_t g, int i)
{
    return static_cast<int32_t>(g * 16 + 15 - i);
}
// Generation g's keys of the j-th configurable action.
int32_t keyCode(int64_t g, int j, int column)
{
    return static_cast<int32_t>(kKeyBase + g * 8 + j * 2 + column);
}

std::string integrityCheck(const std::string& path)
{
    sqlite3* db = nullptr;
    std::string verdict = "cannot open";
    if (sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK) {
        sqlite3_stmt* s = nullptr;
        if (sqlite3_prepare_v2(db, "PRAGMA integrity_check", -1, &s, nullptr) == SQLITE_OK &&
            sqlite3_step(s) == SQLITE_ROW)
            verdict = reinterpret_cast<const char*>(sqlite3_column_text(s, 0));
        sqlite3_finalize(s);
    }
    sqlite3_close(db);
    return verdict;
}

// A file system layer under SQLite that kills the process (SIGKILL) at its n-th changing
// operation (a write, truncation, sync or deletion of the database, its log or its index): a
// kill inside a save, at a place chosen by count rather than by time.
namespace killer {

sqlite3_vfs* real = nullptr;
sqlite3_vfs vfs;
sqlite3_io_methods methods;
long opsLeft = 0;

void count()
{
    if (opsLeft > 0 && --opsLeft == 0)
        raise(SIGKILL);
}

struct File
{
    sqlite3_file base;
    sqlite3_file* inner;
};

sqlite3_file* in(sqlite3_file* f)
{
    return reinterpret_cast<File*>(f)->inner;
}

int close(sqlite3_file* f)
{
    return in(f)->pMethods->xClose(in(f));
}
int read(sqlite3_file* f, void* b, int n, sqlite3_int64 o)
{
    return in(f)->pMethods->xRead(in(f), b, n, o);
}
int write(sqlite3_file* f, const void* b, int n, sqlite3_int64 o)
{
    count();
    return in(f)->pMethods->xWrite(in(f), b, n, o);
}
int truncate(sqlite3_file* f, sqlite3_int64 size)
{
    count();
    return in(f)->pMethods->xTruncate(in(f), size);
}
int sync(sqlite3_file* f, int flags)
{
    count();
    return in(f)->pMethods->xSync(in(f), flags);
}
int fileSize(sqlite3_file* f, sqlite3_int64* size)
{
    return in(f)->pMethods->xFileSize(in(f), size);
}
int lock(sqlite3_file* f, int l)
{
    return in(f)->pMethods->xLock(in(f), l);
}
int unlock(sqlite3_file* f, int l)
{
    return in(f)->pMethods->xUnlock(in(f), l);
}
int checkReservedLock(sqlite3_file* f, int* out)
{
    return in(f)->pMethods->xCheckReservedLock(in(f), out);
}
int fileControl(sqlite3_file* f, int op, void* arg)
{
    return in(f)->pMethods->xFileControl(in(f), op, arg);
}
int sectorSize(sqlite3_file* f)
{
    return in(f)->pMethods->xSectorSize(in(f));
}
int deviceCharacteristics(sqlite3_file* f)
{
    return in(f)->pMethods->xDeviceCharacteristics(in(f));
}
int shmMap(sqlite3_file* f, int region, int size, int extend, void volatile** out)
{
    return in(f)->pMethods->xShmMap(in(f), region, size, extend, out);
}
int shmLock(sqlite3_file* f, int offset, int n, int flags)
{
    return in(f)->pMethods->xShmLock(in(f), offset, n, flags);
}
void shmBarrier(sqlite3_file* f)
{
    in(f)->pMethods->xShmBarrier(in(f));
}
int shmUnmap(sqlite3_file* f, int deleteFlag)
{
    return in(f)->pMethods->xShmUnmap(in(f), deleteFlag);
}

int open(sqlite3_vfs*, sqlite3_filename name, sqlite3_file* file, int flags, int* outFlags)
{
    File* f = reinterpret_cast<File*>(file);
    f->inner = reinterpret_cast<sqlite3_file*>(f + 1);
    const int rc = real->xOpen(real, name, f->inner, flags, outFlags);
    f->base.pMethods = f->inner->pMethods ? &methods : nullptr;
    return rc;
}
int remove(sqlite3_vfs*, const char* name, int syncDir)
{
    count();
    return real->xDelete(real, name, syncDir);
}

// Becomes the default file system layer of this process; kills at the n-th changing operation.
void install(long n)
{
    real = sqlite3_vfs_find(nullptr);
    vfs = *real;
    vfs.zName = "killer";
    vfs.szOsFile = static_cast<int>(sizeof(File)) + real->szOsFile;
    vfs.xOpen = &open;
    vfs.xDelete = &remove;
    methods = sqlite3_io_methods{2,
                                 &close,
                                 &read,
                                 &write,
                                 &truncate,
                                 &sync,
                                 &fileSize,
                                 &lock,
                                 &unlock,
                                 &checkReservedLock,
                                 &fileControl,
                                 &sectorSize,
                                 &deviceCharacteristics,
                                 &shmMap,
                                 &shmLock,
                                 &shmBarrier,
                                 &shmUnmap,
                                 nullptr,
                                 nullptr};
    opsLeft = n;
    sqlite3_vfs_register(&vfs, 1);
}

} // namespace killer

// What a restart reads: the generation of each record, or -1 for "nothing stored yet" and -2
// for a record that belongs to no single generation (a mix, or damage).
struct ReadBack
{
    int64_t highscores = -1;
    std::vector<int64_t> keys;
    int64_t option = -1;
};

class RecordsUnderKill : public menutest::MenuOwnerTest
{
  protected:
    void SetUp() override
    {
        startOwner();
        controls = new CustomControls(kControlsMask);
        controls->init(kGame);
        controls->loadKeys();
    }

    // The cells of the configurable actions, in action order.
    std::vector<qev::lang::DintArrayPtr> keyCells() const
    {
        std::vector<qev::lang::DintArrayPtr> cells;
        for (int32_t i = 0; i < CustomControls::kActions; ++i)
            if (qev::lang::DObjectPtr cell = (*controls->keys)[i])
                cells.push_back(dcast<DintArray>(cell));
        return cells;
    }

    // The child: saves the three kinds of records of generations first, first + 1, ... in the
    // order highscores, keys, option, and writes one byte to `notes` after each generation.
    [[noreturn]] void saveUntilKilled(int64_t first, int notes)
    {
        try {
            GameMenuPtr table = new GameMenu();
            for (int64_t g = first; g < first + kMaxGenerations; ++g) {
                qev::lang::DStringArrayPtr names = new qev::lang::DStringArray(kEntries);
                qev::lang::DintArrayPtr scores = new DintArray(kEntries);
                for (int i = 0; i < kEntries; ++i) {
                    (*names)[i] = str(entryName(g, i));
                    (*scores)[i] = entryScore(g, i);
                }
                table->setHighscores(names, scores);
                table->saveHighscores(1, kGame);

                std::vector<qev::lang::DintArrayPtr> cells = keyCells();
                for (size_t j = 0; j < cells.size(); ++j)
                    for (int c = 0; c < cells[j]->length; ++c)
                        (*cells[j])[c] = keyCode(g, static_cast<int>(j), c);
                controls->saveKeys();

                GameMenu::saveOption(kOption, static_cast<int32_t>(g));
                const char note = 1;
                if (write(notes, &note, 1) != 1)
                    _exit(4);
            }
        } catch (...) {
            _exit(3);
        }
        // Never ends by itself: every child ends killed.
        raise(SIGKILL);
        _exit(5);
    }

    // Reads the records back through the game's own loaders, as a restart does.
    ReadBack readBack()
    {
        ReadBack r;
        GameMenuPtr table = new GameMenu();
        table->loadHighscores(1, kGame);
        const int32_t n = table->lines ? table->lines->length : 0;
        if (n == kEntries) {
            const std::string first = ascii((*table->lines)[0]);
            const int64_t g = std::strtoll(first.c_str() + 1, nullptr, 10);
            r.highscores = g;
            for (int i = 0; i < kEntries; ++i)
                if (ascii((*table->lines)[i]) != entryName(g, i) ||
                    (*table->scores)[i] != entryScore(g, i))
                    r.highscores = -2;
        } else {
            // Nothing saved yet: the default table of zero scores.
            bool defaults = n == GameMenu::kDefaultHighscores;
            for (int32_t i = 0; defaults && i < n; ++i)
                defaults = (*table->scores)[i] == 0;
            if (!defaults)
                r.highscores = -2;
        }

        CustomControlsPtr fresh = new CustomControls(kControlsMask);
        fresh->init(kGame);
        fresh->loadKeys();
        std::swap(fresh, controls);
        std::vector<qev::lang::DintArrayPtr> cells = keyCells();
        std::swap(fresh, controls);
        for (size_t j = 0; j < cells.size(); ++j) {
            const int32_t k0 = (*cells[j])[0];
            if (k0 < kKeyBase) {
                r.keys.push_back(-1); // the canvas's defaults
                continue;
            }
            const int64_t g = (k0 - kKeyBase) / 8;
            const bool whole = k0 == keyCode(g, static_cast<int>(j), 0) &&
                               (*cells[j])[1] == keyCode(g, static_cast<int>(j), 1);
            r.keys.push_back(whole ? g : -2);
        }

        r.option = GameMenu::loadOption(kOption, -1);
        return r;
    }

    // The real program started on the records: no message box, no uncaught exception, and it
    // gets through both start-up questions to the main menu.
    int startProgram(const std::string& registry, const std::string& outputs)
    {
        const std::string script =
            folder.write("start.txt", "20 press 13\n80 press 13\n400 dump menu\n401 end\n");
        return testsupport::runScript(PH_PROGRAM, script, outputs, {{"PH_REGISTRY", registry}})
            .status;
    }

    CustomControlsPtr controls;
};

TEST_F(RecordsUnderKill, EveryRestartReadsWholeRecordsAndTheProgramStarts)
{
    // PH_KILL_ROUNDS runs it longer by hand; CI keeps it short.
    const char* rounds = std::getenv("PH_KILL_ROUNDS");
    const int kRounds = rounds != nullptr && std::atoi(rounds) > 0 ? std::atoi(rounds) : 24;
    std::mt19937 random(20);
    const std::string registry = folder.path() + "/registry.sqlite";
    // The newest generation a finished save is known to have stored.
    int64_t stored = -1;
    int64_t next = 1;
    int kills = 0;
    // Self-kills that left the highscores one generation ahead of the option: kills inside a
    // generation's saves, which the test is for.
    int interrupted = 0;
    for (int round = 0; round < kRounds; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        platform::Registry::closeDatabase();
        int notes[2];
        ASSERT_EQ(0, pipe(notes));
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        // Odd rounds: the child kills itself at its n-th file change, inside some save.
        // Even rounds: the parent kills it after 0 to 6 finished generations (round 0 maybe
        // before its first save), wherever it has got to by then.
        const long killAt =
            round % 2 == 1 ? std::uniform_int_distribution<long>(1, 400)(random) : 0;
        const int wait =
            round % 2 == 1 || round == 0 ? 0 : std::uniform_int_distribution<int>(0, 6)(random);
        if (child == 0) {
            close(notes[0]);
            if (killAt > 0)
                killer::install(killAt);
            saveUntilKilled(next, notes[1]);
        }
        close(notes[1]);
        int finished = 0;
        char note = 0;
        if (killAt > 0) {
            while (read(notes[0], &note, 1) == 1)
                ++finished;
        } else {
            for (; finished < wait; ++finished)
                ASSERT_EQ(1, read(notes[0], &note, 1)) << "the child ended before its kill";
            kill(child, SIGKILL);
        }
        int status = 0;
        ASSERT_EQ(child, waitpid(child, &status, 0));
        close(notes[0]);
        ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL)
            << "the child stopped by itself, status " << status;
        ++kills;
        if (finished > 0)
            stored = next + finished - 1;

        if (std::filesystem::exists(registry)) {
            EXPECT_EQ("ok", integrityCheck(registry));
        }
        const ReadBack r = readBack();
        // Saved in the order highscores, keys (record by record), option: the option is the
        // oldest, the highscores the newest, at most one generation apart.
        ASSERT_NE(-2, r.highscores) << "a highscore table of no single generation";
        for (int64_t k : r.keys)
            ASSERT_NE(-2, k) << "a key record of no single generation";
        EXPECT_GE(r.option, stored) << "a finished save was lost";
        if (killAt > 0) {
            EXPECT_LE(r.option, stored + 1) << "an option from no save";
            interrupted += r.highscores != r.option;
        }
        EXPECT_LE(r.highscores, r.option + 1);
        int64_t newer = r.highscores;
        for (int64_t k : r.keys) {
            EXPECT_LE(k, newer) << "a key record newer than the records saved before it";
            EXPECT_GE(k, r.option) << "a key record older than the option saved after it";
            newer = k;
        }
        EXPECT_TRUE(platform::WindowSystem::recordedMessageBoxes().empty())
            << "the records were not opened cleanly";
        // The option, saved last, tells the newest whole generation; the next child saves the
        // one after it again, whatever of that one is already in.
        stored = std::max(stored, r.option);
        next = stored + 1;
    }
    EXPECT_EQ(kRounds, kills);
    EXPECT_GT(stored, 0) << "no save ever finished";
    EXPECT_GT(interrupted, 0) << "no kill came between a generation's saves";

    platform::Registry::closeDatabase();
    const std::string outputs = folder.path() + "/program";
    ASSERT_EQ(0, startProgram(registry, outputs)) << readFile(outputs + ".log");
    // The same frame as a start on no records at all: the main menu, nothing else in the way.
    const std::string clean = folder.path() + "/clean";
    ASSERT_EQ(0, startProgram(folder.path() + "/empty.sqlite", clean)) << readFile(clean + ".log");
    const std::string manifest = readFile(outputs + "/manifest.txt");
    EXPECT_NE(std::string::npos, manifest.find(" menu.png "));
    EXPECT_EQ(readFile(clean + "/manifest.txt"), manifest);
}

} // namespace

// What the scripted runner takes from outside besides the script's text: the script file itself
// (a regular file of a sane size only) and where the records go (never the player's own).
#include "HostFixture.h"
#include "LockingProcess.h"

#include "ScriptFile.h"
#include "ScriptRun.h"

#include "ScriptedRun.h"
#include "StderrCapture.h"
#include "TempFolder.h"
#include "platform/DeviceProfile.h"
#include "platform/entry.h"
#include "platform/registry.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace hosttest;
using qev::lang::DPtr;
using testsupport::readFile;
using testsupport::runScript;
namespace fs = std::filesystem;

namespace {

std::string refusal(const std::string& path)
{
    std::string text = "left over", problem;
    EXPECT_FALSE(host::readScriptFile(path, text, problem)) << path;
    EXPECT_TRUE(text.empty()) << path;
    return problem;
}

TEST(ScriptFile, OnlyARegularFileOfASaneSizeIsRead)
{
    testsupport::TempFolder folder;
    std::string text, problem;
    const std::string good = folder.write("play.txt", "0 end\n");
    ASSERT_TRUE(host::readScriptFile(good, text, problem)) << problem;
    EXPECT_EQ(text, "0 end\n");

    // A device without end, a pipe nobody writes to, a folder: refused at once, with the
    // reason, instead of reading for ever, waiting for ever or playing nothing.
    EXPECT_NE(refusal("/dev/zero").find("not a regular file"), std::string::npos);
    const std::string pipe = folder.path() + "/pipe";
    ASSERT_EQ(0, mkfifo(pipe.c_str(), 0600));
    EXPECT_NE(refusal(pipe).find("not a regular file"), std::string::npos);
    EXPECT_NE(refusal(folder.path()).find("not a regular file"), std::string::npos);
    EXPECT_NE(refusal(folder.path() + "/missing.txt").find("cannot read"), std::string::npos);

    // A file past the limit (sparse: no time spent writing it).
    const std::string huge = folder.path() + "/huge.txt";
    {
        std::ofstream(huge) << "0 end\n";
    }
    fs::resize_file(huge, host::kMaxScriptBytes + 1);
    EXPECT_NE(refusal(huge).find("larger than"), std::string::npos);
    fs::resize_file(huge, host::kMaxScriptBytes);
    EXPECT_TRUE(host::readScriptFile(huge, text, problem)) << problem;
    EXPECT_EQ(text.size(), host::kMaxScriptBytes);
}

class ScriptInputs : public HostTest
{
  protected:
    void TearDown() override
    {
        unsetenv("PH_SCRIPT");
        unsetenv("PH_FRAMES");
        HostTest::TearDown();
    }
    testsupport::TempFolder folder;
};

TEST_F(ScriptInputs, AFolderAsTheScriptRunsNothingAndEndsWithStatusTwo)
{
    setenv("PH_SCRIPT", folder.path().c_str(), 1);
    setenv("PH_FRAMES", (folder.path() + "/out").c_str(), 1);
    testsupport::StderrCapture stderrText;
    EXPECT_EQ(host::runScript(nullptr, u""), 2);
    const std::string said = stderrText.text();
    EXPECT_NE(said.find("is not a regular file"), std::string::npos) << said;
    EXPECT_EQ(createMIDletCalls(), 0);
}

// A run without a window keeps its records to itself unless it is given a records file.
TEST_F(ScriptInputs, AHeadlessRunNeverWritesThePlayersRecords)
{
    platform::DeviceProfile& p = platform::DeviceProfile::current();
    p.windowBackend = platform::WindowMode::Headless;
    const std::string players = folder.path() + "/player/registry.sqlite";
    p.registryPath = players;
    p.registryGiven = false;
    LONG saved = -1;
    midletFactory() = [&saved] {
        DPtr<TestMIDlet> m(new TestMIDlet);
        m->onStart = [&saved](TestMIDlet& self) {
            HKEY key = nullptr;
            saved = RegCreateKeyExW(HKEY_CURRENT_USER, u"Software\\Vostrelle\\x", 0, nullptr, 0, 0,
                                    nullptr, &key, nullptr);
            RegCloseKey(key);
            self.notifyDestroyed();
        };
        return m;
    };
    std::u16string commandLine;
    EXPECT_EQ(0, WinMain(nullptr, nullptr, commandLine.data(), 0));
    EXPECT_EQ(saved, ERROR_SUCCESS); // the game itself saw records that work
    EXPECT_FALSE(fs::exists(players));
    platform::Registry::closeDatabase();

    // Told a file, it uses that one.
    p.registryGiven = true;
    p.registryPath = players;
    EXPECT_EQ(0, WinMain(nullptr, nullptr, commandLine.data(), 0));
    platform::Registry::closeDatabase();
    EXPECT_TRUE(fs::exists(players));
}

TEST(ProgramInputs, AScriptedRunWithAnEmptyRegistrySettingKeepsAwayFromThePlayersRecords)
{
    testsupport::TempFolder folder;
    const std::string script = folder.write("play.txt", "8 records stores\n9 end\n");
    const std::string home = folder.path() + "/home";
    const testsupport::ScriptedRun run = runScript(PH_PROGRAM, script, folder.path() + "/out",
                                                   {{"PH_REGISTRY", ""}, {"XDG_DATA_HOME", home}});
    EXPECT_EQ(run.status, 0) << run.log;
    EXPECT_FALSE(fs::exists(home + "/pallasterhorn")) << "the player's records were touched";
    EXPECT_TRUE(fs::exists(folder.path() + "/out/registry.sqlite"));
}

// An output folder that holds records the runner did not make (here where the game keeps the
// player's): the run is refused before it starts, and the records stay as they were.
TEST(ProgramInputs, AScriptedRunNeverStartsOverRecordsItDidNotMake)
{
    testsupport::TempFolder folder;
    const std::string script = folder.write("play.txt", "8 records stores\n9 end\n");
    const std::string players = folder.path() + "/home/pallasterhorn";
    const std::string records = folder.write("home/pallasterhorn/registry.sqlite", "ALF 1200");
    const std::string log = folder.write("home/pallasterhorn/registry.sqlite-wal", "BOB 9000");
    const testsupport::ScriptedRun run = runScript(PH_PROGRAM, script, players);
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.log.find("did not make"), std::string::npos) << run.log;
    EXPECT_EQ(readFile(records), "ALF 1200");
    EXPECT_EQ(readFile(log), "BOB 9000");
    EXPECT_FALSE(fs::exists(players + "/manifest.txt"));

    // A log left alone, without its main file, is not the runner's either.
    fs::remove(records);
    EXPECT_EQ(2, runScript(PH_PROGRAM, script, players).status);
    EXPECT_EQ(readFile(log), "BOB 9000");
}

// The runner's own records of an earlier run are started afresh; outputs replace what is at their
// place, a link included, without writing through it.
TEST(ProgramInputs, AScriptedRunStartsAfreshOverItsOwnRecordsAndNeverWritesThroughALink)
{
    testsupport::TempFolder folder;
    const std::string script = folder.write("play.txt", "0 dump menu\n8 records stores\n9 end\n");
    const std::string out = folder.path() + "/out";
    const testsupport::ScriptedRun run = runScript(PH_PROGRAM, script, out);
    ASSERT_EQ(0, run.status) << run.log;
    const std::string first = readFile(out + "/stores.txt");
    const std::string manifest = readFile(out + "/manifest.txt");
    ASSERT_TRUE(fs::exists(out + "/registry.sqlite"));

    const std::string target = folder.write("precious.png", "the player's picture");
    fs::remove(out + "/menu.png");
    fs::create_symlink(target, out + "/menu.png");
    const testsupport::ScriptedRun again = runScript(PH_PROGRAM, script, out);
    ASSERT_EQ(0, again.status) << again.log;
    EXPECT_EQ(first, readFile(out + "/stores.txt"));
    EXPECT_EQ(manifest, readFile(out + "/manifest.txt"));
    EXPECT_EQ("the player's picture", readFile(target));
    EXPECT_FALSE(fs::is_symlink(out + "/menu.png"));
    EXPECT_TRUE(fs::is_regular_file(out + "/menu.png"));
}

// The real program with its records locked by another process for the whole run: it starts, says
// once that nothing is saved, and leaves the file as it was.
TEST(ProgramInputs, RecordsLockedByAnotherProcessNeitherStopTheStartNorChangeTheFile)
{
    testsupport::TempFolder folder;
    const std::string script = folder.write("play.txt", "10 records stores\n11 end\n");
    const std::string records = folder.path() + "/records.sqlite";
    const std::string out = folder.path() + "/out";
    const testsupport::ScriptedRun first =
        runScript(PH_PROGRAM, script, out, {{"PH_REGISTRY", records}});
    ASSERT_EQ(0, first.status) << first.log;
    const std::string before = readFile(records);
    testsupport::ScriptedRun locked;
    {
        testsupport::LockingProcess other(records);
        ASSERT_TRUE(other.locked());
        locked = runScript(PH_PROGRAM, script, out, {{"PH_REGISTRY", records}});
    }
    EXPECT_EQ(locked.status, 5) << locked.log; // the notice was shown
    EXPECT_NE(locked.log.find("nothing is saved in this run"), std::string::npos) << locked.log;
    EXPECT_TRUE(readFile(records) == before);
    EXPECT_TRUE(fs::exists(folder.path() + "/out/stores.txt"));
}

TEST(ProgramInputs, ADeviceAsTheScriptIsRefusedWithStatusTwo)
{
    testsupport::TempFolder folder;
    const testsupport::ScriptedRun run = runScript(PH_PROGRAM, "/dev/zero", folder.path() + "/out");
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.log.find("/dev/zero is not a regular file"), std::string::npos);
}

} // namespace

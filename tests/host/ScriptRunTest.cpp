// Scripted runs in this process with the test application: what the script feeds reaches the
// application at its pass, outputs are written and hashed, and two runs agree.
#include "HostFixture.h"

#include "ScriptRun.h"

#include "lang/DbyteArray.h"
#include "microedition/rms/DRecordStore.h"
#include "platform/clock.h"

#include "TempFolder.h"

#include <cstdlib>
#include <fstream>
#include <sstream>

using namespace hosttest;
using qev::lang::DPtr;

namespace {

class ScriptRun : public HostTest
{
  protected:
    void TearDown() override
    {
        unsetenv("PH_SCRIPT");
        unsetenv("PH_FRAMES");
        HostTest::TearDown();
    }

    // Plays `script` with its outputs in a new folder below the test's; the status.
    int play(const std::string& script, const std::string& outputs = "out")
    {
        const std::string path = folder.write("script.txt", script);
        setenv("PH_SCRIPT", path.c_str(), 1);
        setenv("PH_FRAMES", (folder.path() + "/" + outputs).c_str(), 1);
        return host::runScript(nullptr, u"");
    }
    std::string output(const std::string& name, const std::string& outputs = "out")
    {
        return folder.read(outputs + "/" + name);
    }
    // Fresh state for a second run in the same test.
    void again()
    {
        TearDown();
        SetUp();
    }

    testsupport::TempFolder folder;
};

TEST_F(ScriptRun, AKeyReachesTheCanvasAtItsPass)
{
    std::vector<std::pair<int, std::string>> seen; // (tick number, entry)
    midletFactory() = [&seen] {
        DPtr<TestMIDlet> m(new TestMIDlet);
        m->onTick = [&seen](TestMIDlet&) {
            if (!journal().entries.empty())
                seen.emplace_back(journal().ticks, journal().entries.back());
        };
        return m;
    };
    EXPECT_EQ(play("4 press 38\n8 end\n"), 0);
    EXPECT_EQ(journal().count("key 38"), 1);
    EXPECT_EQ(journal().count("release 38"), 1);
    // Pass 0 and 1 show the splash; the key comes in pass 4 (the third tick), its release in 5.
    ASSERT_GE(seen.size(), 4u);
    EXPECT_EQ(seen[2], (std::pair<int, std::string>{3, "key 38"}));
    EXPECT_EQ(seen[3], (std::pair<int, std::string>{4, "release 38"}));
    EXPECT_EQ(journal().entries.back(), "destroyApp 1 display");
}

TEST_F(ScriptRun, TheClockStartsAtTheSeedAndStepsPerPass)
{
    std::vector<DWORD> times;
    midletFactory() = [&times] {
        DPtr<TestMIDlet> m(new TestMIDlet);
        m->onTick = [&times](TestMIDlet&) { times.push_back(GetTickCount()); };
        return m;
    };
    EXPECT_EQ(play("seed 7000\n3 stall 1000\n4 end\n"), 0);
    // Ticks in passes 2, 3 and 4; the stall comes before pass 3.
    EXPECT_EQ(times, (std::vector<DWORD>{7050, 8075, 8100}));
}

TEST_F(ScriptRun, DeactivationStopsTicksUntilActivation)
{
    std::vector<int> ticks;
    midletFactory() = [&ticks] {
        DPtr<TestMIDlet> m(new TestMIDlet);
        m->onTick = [&ticks](TestMIDlet&) { ticks.push_back(journal().ticks); };
        return m;
    };
    EXPECT_EQ(play("3 deactivate\n8 activate\n10 end\n"), 0);
    EXPECT_EQ(journal().count("pauseApp"), 1);
    EXPECT_EQ(journal().count("showNotify"), 2);
    // Pass 2 only before the deactivation; pass 8 takes the activation without a tick (the
    // loop was waiting for messages), then passes 9 and 10 tick.
    EXPECT_EQ(journal().ticks, 3);
}

TEST_F(ScriptRun, FramesAndRecordsAreWrittenAndTwoRunsAgree)
{
    midletFactory() = [] {
        DPtr<TestMIDlet> m(new TestMIDlet);
        m->onTick = [](TestMIDlet&) {
            if (journal().ticks != 2)
                return;
            auto store = qev::microedition::rms::DRecordStore::openRecordStore(u"scores", true);
            qev::lang::DbyteArrayPtr bytes(new qev::lang::DbyteArray(3));
            bytes[0] = 1;
            bytes[1] = 2;
            bytes[2] = -1;
            store->addRecord(bytes, 0, 3);
            store->closeRecordStore();
        };
        return m;
    };
    const std::string script = "0 dump splash\n5 dump later\n5 records rec\n6 end\n";
    ASSERT_EQ(play(script, "one"), 0);
    const std::string manifest = output("manifest.txt", "one");
    EXPECT_EQ(output("rec.txt", "one"), "scores 1 0102ff\n");
    EXPECT_EQ(output("later.png", "one").substr(1, 3), "PNG");
    std::istringstream lines(manifest);
    std::string pass, name, hash;
    lines >> pass >> name >> hash;
    EXPECT_EQ(pass + " " + name, "0 splash.png");
    EXPECT_EQ(hash.size(), 16u);

    auto factory = midletFactory();
    again();
    midletFactory() = factory;
    ASSERT_EQ(play(script, "two"), 0);
    EXPECT_EQ(output("manifest.txt", "two"), manifest);
    EXPECT_EQ(output("rec.txt", "two"), "scores 1 0102ff\n"); // fresh records each run
}

TEST_F(ScriptRun, AMessageBoxMakesTheStatusNonZero)
{
    midletFactory() = [] {
        DPtr<TestMIDlet> m(new TestMIDlet);
        m->onTick = [](TestMIDlet&) {
            if (journal().ticks == 1)
                MessageBoxW(nullptr, u"something odd", u"Note", 0);
        };
        return m;
    };
    EXPECT_EQ(play("4 end\n"), 5);
}

TEST_F(ScriptRun, AnUncaughtExceptionEndsTheRunWithItsStatus)
{
    midletFactory() = [] {
        DPtr<TestMIDlet> m(new TestMIDlet);
        m->onTick = [](TestMIDlet&) { throw 1; };
        return m;
    };
    EXPECT_EQ(play("2 dump a\n4 end\n"), 4);
    EXPECT_EQ(output("manifest.txt"), ""); // the run ended before the dump
}

TEST_F(ScriptRun, AMalformedScriptRunsNothing)
{
    EXPECT_EQ(play("0 key down 38\n1 fly\n"), 2);
    EXPECT_EQ(createMIDletCalls(), 0);
    unsetenv("PH_SCRIPT");
    EXPECT_EQ(host::runScript(nullptr, u""), 2);
    EXPECT_EQ(createMIDletCalls(), 0);
}

} // namespace

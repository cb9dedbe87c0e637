// The real program played by script, twice per script: each run ends cleanly and both runs
// write the same manifest.
#include "ScriptOutput.h"
#include "ScriptedRun.h"
#include "TempFolder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <sys/wait.h>
#include <vector>

namespace {

using testsupport::readFile;
using testsupport::runScript;

class ProgramScript : public ::testing::TestWithParam<const char*>
{
  protected:
    // Runs the program on the script, on the game.dat built beside it as a real run does.
    static testsupport::ScriptedRun play(const std::string& script, const std::string& outputs)
    {
        return runScript(PH_PROGRAM, script, outputs);
    }

    testsupport::TempFolder folder;
};

TEST_P(ProgramScript, TwoRunsWriteTheSameManifest)
{
    const std::string script = std::string(PH_TEST_SCRIPTS) + "/" + GetParam() + ".txt";
    const std::string one = folder.path() + "/one", two = folder.path() + "/two";
    const testsupport::ScriptedRun first = play(script, one), second = play(script, two);
    ASSERT_EQ(first.status, 0) << first.log;
    ASSERT_EQ(second.status, 0) << second.log;
    EXPECT_FALSE(first.manifest.empty());
    EXPECT_EQ(second.manifest, first.manifest);
}

// The hash the manifest lists for an output file, or "".
std::string hashOf(const std::string& manifest, const std::string& file)
{
    std::istringstream lines(manifest);
    std::string pass, name, hash;
    while (lines >> pass >> name >> hash)
        if (name == file)
            return hash;
    return "";
}

TEST_F(ProgramScript, AKeyChangesWhatTheScreenShows)
{
    const std::string out = folder.path() + "/key";
    const testsupport::ScriptedRun run = play(std::string(PH_TEST_SCRIPTS) + "/key.txt", out);
    ASSERT_EQ(run.status, 0) << run.log;
    const std::string& manifest = run.manifest;
    const std::string before = hashOf(manifest, "before.png"),
                      after = hashOf(manifest, "after.png");
    ASSERT_EQ(before.size(), 16u);
    ASSERT_EQ(after.size(), 16u);
    EXPECT_NE(before, after);
}

TEST_F(ProgramScript, TheTwoSplashPassesShowTheWhiteScreenOfStartUp)
{
    const std::string out = folder.path() + "/splash";
    const std::string script =
        folder.write("splash.txt", "0 dump p0\n1 dump p1\n2 dump p2\n3 end\n");
    const testsupport::ScriptedRun run = play(script, out);
    ASSERT_EQ(run.status, 0) << run.log;
    const std::string& manifest = run.manifest;
    // The screen's size from the frame's PNG header.
    const std::string png = readFile(out + "/p0.png");
    ASSERT_GE(png.size(), 24u);
    auto be32 = [&png](size_t at) {
        return static_cast<size_t>(static_cast<uint8_t>(png[at])) << 24 |
               static_cast<size_t>(static_cast<uint8_t>(png[at + 1])) << 16 |
               static_cast<size_t>(static_cast<uint8_t>(png[at + 2])) << 8 |
               static_cast<uint8_t>(png[at + 3]);
    };
    const std::vector<uint16_t> white(be32(16) * be32(20), 0xFFFF);
    const std::string whiteHash = host::fnv1a64(white.data(), white.size() * sizeof(uint16_t));
    EXPECT_EQ(hashOf(manifest, "p0.png"), whiteHash);
    EXPECT_EQ(hashOf(manifest, "p1.png"), whiteHash);
    EXPECT_NE(hashOf(manifest, "p2.png"), whiteHash) << "the first tick shows the first screen";
}

INSTANTIATE_TEST_SUITE_P(Scripts, ProgramScript,
                         ::testing::Values("startup", "key", "activation", "close"));

TEST(ProgramScriptRefusal, AMalformedScriptIsRefusedWithItsLineNumber)
{
    testsupport::TempFolder folder;
    const std::string script = folder.write("bad.txt", "0 dump a\n1 key down up\n");
    const testsupport::ScriptedRun run = runScript(PH_PROGRAM, script, folder.path() + "/out");
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.log.find("bad.txt: line 2:"), std::string::npos);
}

} // namespace

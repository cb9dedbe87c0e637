// The real program played by script, twice per script: each run ends cleanly and both runs
// write the same manifest.
#include "ScriptOutput.h"
#include "TempFolder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <sys/wait.h>
#include <vector>

namespace {

std::string readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

class ProgramScript : public ::testing::TestWithParam<const char*>
{
  protected:
    // Runs the program on the script; its exit status (-1 when it did not exit).
    int play(const std::string& script, const std::string& outputs)
    {
        // The program reads the game.dat built beside it, as a real run does.
        const std::string command = "PH_WINDOW_BACKEND=script PH_SCRIPT='" + script +
                                    "' PH_FRAMES='" + outputs + "' '" + PH_PROGRAM + "' >'" +
                                    outputs + ".log' 2>&1";
        const int status = std::system(command.c_str());
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    testsupport::TempFolder folder;
};

TEST_P(ProgramScript, TwoRunsWriteTheSameManifest)
{
    const std::string script = std::string(PH_TEST_SCRIPTS) + "/" + GetParam() + ".txt";
    const std::string one = folder.path() + "/one", two = folder.path() + "/two";
    ASSERT_EQ(play(script, one), 0) << readFile(one + ".log");
    ASSERT_EQ(play(script, two), 0) << readFile(two + ".log");
    const std::string manifest = readFile(one + "/manifest.txt");
    EXPECT_FALSE(manifest.empty());
    EXPECT_EQ(readFile(two + "/manifest.txt"), manifest);
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
    ASSERT_EQ(play(std::string(PH_TEST_SCRIPTS) + "/key.txt", out), 0) << readFile(out + ".log");
    const std::string manifest = readFile(out + "/manifest.txt");
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
    ASSERT_EQ(play(script, out), 0) << readFile(out + ".log");
    const std::string manifest = readFile(out + "/manifest.txt");
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
    const std::string command = "PH_WINDOW_BACKEND=script PH_SCRIPT='" + script + "' PH_FRAMES='" +
                                folder.path() + "/out' '" + PH_PROGRAM + "' >'" + folder.path() +
                                "/log' 2>&1";
    const int status = std::system(command.c_str());
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 2);
    EXPECT_NE(readFile(folder.path() + "/log").find("bad.txt: line 2:"), std::string::npos);
}

} // namespace

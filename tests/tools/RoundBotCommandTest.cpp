// roundbot as a newcomer first runs it: asking for help, mistyping an option, pointing it at the
// wrong folder, and a short round that names nothing the game data lacks.
#include "TempFolder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <sys/wait.h>
#include <vector>

namespace {

class RoundBotCommand : public ::testing::Test
{
  protected:
    // Runs roundbot with `arguments` (shell words); its status, with its outputs kept.
    int run(const std::string& arguments)
    {
        // The system's font library keeps caches for the process's life, as in the CI run.
        const std::string command = std::string("LSAN_OPTIONS=suppressions='") +
                                    PH_LSAN_SUPPRESSIONS + "' '" + PH_ROUNDBOT + "' " + arguments +
                                    " >'" + folder.path() + "/out' 2>'" + folder.path() + "/err'";
        const int status = std::system(command.c_str());
        out = folder.read("out");
        err = folder.read("err");
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    testsupport::TempFolder folder;
    std::string out;
    std::string err;
};

TEST_F(RoundBotCommand, HelpShowsTheUsageAndSucceeds)
{
    for (const char* help : {"--help", "-h", "--seed 3 --help"}) {
        EXPECT_EQ(run(help), 0) << help << err;
        EXPECT_EQ(out.rfind("usage: roundbot ", 0), 0u) << help << out;
        EXPECT_NE(out.find("--max-idle"), std::string::npos) << help << out;
        EXPECT_EQ(err, "") << help;
    }
}

TEST_F(RoundBotCommand, BadArgumentsShowTheUsageWithStatusTwo)
{
    const std::string data = "'" + std::string(PH_GAME_DATA_FOLDER) + "'";
    const std::vector<std::string> bads = {"",           "--fast " + data, "--seconds",
                                           data + " 51", data + " 5-3",    "--seconds x " + data};
    for (const std::string& bad : bads) {
        EXPECT_EQ(run(bad), 2) << bad;
        EXPECT_EQ(err.rfind("usage: roundbot ", 0), 0u) << bad << err;
        EXPECT_EQ(out, "") << bad;
    }
}

TEST_F(RoundBotCommand, AFolderWithoutGameDataIsNamed)
{
    EXPECT_EQ(run("'" + folder.path() + "' 1"), 2);
    EXPECT_EQ(err, "roundbot: no game.dat in " + folder.path() +
                       " (the build makes one beside the game)\n");
    EXPECT_EQ(out, "");
}

TEST_F(RoundBotCommand, AShortRoundNamesNothingMissing)
{
    // One second is too short to clear a round: status 1, and the bricks still standing.
    EXPECT_EQ(run("--seconds 1 '" + std::string(PH_GAME_DATA_FOLDER) + "' 1"), 1) << err;
    EXPECT_NE(out.find("| 1 | no | 0:01.0 |"), std::string::npos) << out;
    EXPECT_EQ(err.find("not found"), std::string::npos) << err;
    EXPECT_NE(err.find("roundbot: round 1: row"), std::string::npos) << err;
}

} // namespace

// The real program on a machine without a display: it says so in one line and ends with the
// display's status, instead of running on SDL's invisible fallback; the invisible driver asked
// for by name still opens the window, as tests and CI use it.
#include "TempFolder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <sys/wait.h>

namespace {

class NoDisplay : public ::testing::Test
{
  protected:
    // Runs the program without any display variable and with `videoDriver` as SDL_VIDEODRIVER
    // ("" for none); its status. Game data missing, so that a run past the display ends at once
    // on its own (status 3) rather than playing.
    int run(const std::string& videoDriver)
    {
        const std::string driver =
            videoDriver.empty() ? "-u SDL_VIDEODRIVER" : "SDL_VIDEODRIVER=" + videoDriver;
        const std::string command =
            "env -u DISPLAY -u WAYLAND_DISPLAY " + driver + " XDG_RUNTIME_DIR='" + folder.path() +
            "' PH_DATA_DIR='" + folder.path() + "' PH_REGISTRY='" + folder.path() +
            "/registry.sqlite' PH_MESSAGE_BOXES=record PH_CLOCK=fake PH_AUDIO=manual '" +
            PH_PROGRAM + "' >'" + folder.path() + "/out.log' 2>'" + folder.path() + "/err.log'";
        const int status = std::system(command.c_str());
        errors = folder.read("err.log");
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    testsupport::TempFolder folder;
    std::string errors;
};

TEST_F(NoDisplay, TheProgramSaysSoInOneLineAndEndsWithTheDisplaysStatus)
{
    EXPECT_EQ(run(""), 2) << errors;
    EXPECT_NE(errors.find("pallasterhorn: no display"), std::string::npos) << errors;
    EXPECT_NE(errors.find("PH_WINDOW_BACKEND=headless"), std::string::npos) << errors;
    EXPECT_NE(errors.find("PH_WINDOW_BACKEND=script"), std::string::npos) << errors;
    EXPECT_EQ(errors.find('\n'), errors.size() - 1) << errors;

    // A desktop driver asked for by name that cannot start says the same.
    EXPECT_EQ(run("x11"), 2) << errors;
    EXPECT_NE(errors.find("pallasterhorn: no display"), std::string::npos) << errors;
}

TEST_F(NoDisplay, TheInvisibleDriverAskedForByNameStillOpensTheWindow)
{
    // Past the window (1) and the display (2): the start fails only for the missing game data.
    EXPECT_EQ(run("offscreen"), 3) << errors;
    EXPECT_EQ(errors.find("no display"), std::string::npos) << errors;
    EXPECT_NE(errors.find("game.dat"), std::string::npos) << errors;
    EXPECT_EQ(run("OffScreen"), 3) << errors;
    EXPECT_EQ(run("x11,offscreen"), 3) << errors;
}

} // namespace

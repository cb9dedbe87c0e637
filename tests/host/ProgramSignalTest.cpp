// Ctrl+C and kill on the real program, in each window backend: the run ends as closing the window
// ends it, with status 0, its window's instance files gone and its records closed (no log of
// the database left beside it, every record saved before still there).
#include "ScriptedRun.h"
#include "TempFolder.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;
using testsupport::readFile;

namespace {

// Generous: the machine may be loaded and the program built with sanitizers.
constexpr auto kBound = std::chrono::seconds(60);

struct Case
{
    const char* name;
    const char* backend; // PH_WINDOW_BACKEND
    const char* audio;   // PH_AUDIO
    int signal;
};

void PrintTo(const Case& c, std::ostream* out)
{
    *out << c.name;
}

// Files below `folder` whose names end in `suffix`.
std::vector<std::string> filesEndingIn(const std::string& folder, const std::string& suffix)
{
    std::vector<std::string> found;
    std::error_code ec;
    for (auto it = fs::recursive_directory_iterator(folder, ec);
         !ec && it != fs::recursive_directory_iterator(); it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (name.size() >= suffix.size() &&
            name.compare(name.size() - suffix.size(), suffix.size(), suffix) == 0)
            found.push_back(it->path().string());
    }
    return found;
}

class ProgramSignal : public ::testing::TestWithParam<Case>
{
  protected:
    void SetUp() override
    {
        runtime = folder.path() + "/runtime";
        registry = folder.path() + "/registry.sqlite";
        ASSERT_EQ(mkdir(runtime.c_str(), 0700), 0);
    }

    // What every run shares: records, instance files and home in the scratch folder.
    std::map<std::string, std::string> environment() const
    {
        return {{"HOME", folder.path()},
                {"XDG_DATA_HOME", folder.path()},
                {"XDG_RUNTIME_DIR", runtime},
                {"PH_REGISTRY", registry},
                {"PH_INSTANCE_NAMESPACE", "signal-test"},
                {"SDL_VIDEODRIVER", "offscreen"},
                {"SDL_AUDIODRIVER", "dummy"}};
    }

    // A scripted run to its end; its status.
    testsupport::ScriptedRun script(const std::string& name, const std::string& text)
    {
        return testsupport::runScript(PH_PROGRAM, folder.write(name + ".txt", text),
                                      folder.path() + "/" + name, environment());
    }

    // Starts the program as the case says, with its output in run.log.
    pid_t start(const Case& c)
    {
        std::map<std::string, std::string> env = environment();
        env["PH_WINDOW_BACKEND"] = c.backend;
        env["PH_AUDIO"] = c.audio;
        env["PH_SCRIPT"] = folder.write("long.txt", "1000000 end\n");
        env["PH_FRAMES"] = folder.path() + "/frames";
        return testsupport::startProgram(PH_PROGRAM, env, folder.path() + "/run.log");
    }

    // Polls until the child has exited (its status) or the bound has passed (-1).
    static int waitForExit(pid_t child)
    {
        const auto end = std::chrono::steady_clock::now() + kBound;
        int status = 0;
        while (std::chrono::steady_clock::now() < end) {
            if (waitpid(child, &status, WNOHANG) == child)
                return status;
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return -1;
    }

    // True once the program's window holds its instance files, or false when it ended first or
    // the bound passed.
    bool waitUntilRunning(pid_t child)
    {
        const auto end = std::chrono::steady_clock::now() + kBound;
        while (std::chrono::steady_clock::now() < end) {
            if (!filesEndingIn(runtime, ".sock").empty())
                return true;
            int status = 0;
            if (waitpid(child, &status, WNOHANG) == child) {
                ended = status;
                return false;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return false;
    }

    testsupport::TempFolder folder;
    std::string runtime, registry;
    int ended = -1;
};

TEST_P(ProgramSignal, EndsTheRunInOrderWithStatusZero)
{
    const Case& c = GetParam();
    // Records saved by an earlier run: the language and sound questions answered.
    const testsupport::ScriptedRun seed =
        script("seed", "20 press 13\n80 press 13\n300 records before\n301 end\n");
    ASSERT_EQ(seed.status, 0) << seed.log;
    const std::string before = readFile(folder.path() + "/seed/before.txt");
    ASSERT_NE(before.find("op_"), std::string::npos) << before;

    const pid_t child = start(c);
    ASSERT_GT(child, 0);
    if (!waitUntilRunning(child)) {
        if (ended < 0) {
            kill(child, SIGKILL);
            waitpid(child, nullptr, 0);
        }
        FAIL() << "the program did not start its window (status " << ended << ")\n"
               << readFile(folder.path() + "/run.log");
    }
    ASSERT_EQ(kill(child, c.signal), 0);
    const int status = waitForExit(child);
    if (status == -1) {
        kill(child, SIGKILL);
        waitpid(child, nullptr, 0);
    }
    ASSERT_TRUE(status != -1 && WIFEXITED(status))
        << "still running or killed by the signal (" << status << ")\n"
        << readFile(folder.path() + "/run.log");
    EXPECT_EQ(WEXITSTATUS(status), 0) << readFile(folder.path() + "/run.log");

    // The window was destroyed: its instance files are gone.
    EXPECT_TRUE(filesEndingIn(runtime, ".sock").empty());
    EXPECT_TRUE(filesEndingIn(runtime, ".lock").empty());
    // The records were closed: the database holds everything, nothing waits in its log.
    EXPECT_FALSE(fs::exists(registry + "-wal"));
    EXPECT_FALSE(fs::exists(registry + "-shm"));
    const testsupport::ScriptedRun check = script("check", "1 records after\n2 end\n");
    ASSERT_EQ(check.status, 0) << check.log;
    EXPECT_EQ(readFile(folder.path() + "/check/after.txt"), before);
}

INSTANTIATE_TEST_SUITE_P(
    Backends, ProgramSignal,
    ::testing::Values(Case{"SdlInterrupt", "sdl", "sdl", SIGINT},
                      Case{"SdlTerminate", "sdl", "sdl", SIGTERM},
                      Case{"HeadlessInterrupt", "headless", "sdl", SIGINT},
                      Case{"HeadlessTerminate", "headless", "sdl", SIGTERM},
                      Case{"HeadlessSilentTerminate", "headless", "manual", SIGTERM},
                      Case{"ScriptInterrupt", "script", "sdl", SIGINT},
                      Case{"ScriptTerminate", "script", "sdl", SIGTERM}),
    [](const ::testing::TestParamInfo<Case>& param) { return std::string(param.param.name); });

} // namespace

#include "ScriptRun.h"

#include "RunEngine.h"
#include "ScriptFile.h"
#include "ScriptRunner.h"

#include "platform/DeviceProfile.h"
#include "platform/testing/FakeClock.h"
#include "platform/window/InstanceRegistry.h"
#include "platform/window/WindowSystem.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <unistd.h>

namespace host {

namespace {

constexpr int kScriptRefused = 2;
constexpr int kMessageBoxShown = 5;

int refuse(const std::string& text)
{
    std::fprintf(stderr, "pallasterhorn: %s\n", text.c_str());
    return kScriptRefused;
}

} // namespace

int runScript(HINSTANCE instance, const char16_t* commandLine)
{
    const char* scriptPath = std::getenv("PH_SCRIPT");
    const char* frames = std::getenv("PH_FRAMES");
    if (!scriptPath || !*scriptPath)
        return refuse("PH_WINDOW_BACKEND=script needs PH_SCRIPT, the script to play");
    if (!frames || !*frames)
        return refuse("PH_WINDOW_BACKEND=script needs PH_FRAMES, the folder for its output");

    std::string text, problem;
    if (!readScriptFile(scriptPath, text, problem))
        return refuse(problem);
    Script script;
    std::vector<std::string> errors;
    if (!Script::parse(text, script, errors)) {
        for (const std::string& e : errors)
            std::fprintf(stderr, "%s: %s\n", scriptPath, e.c_str());
        return kScriptRefused;
    }
    std::error_code ec;
    std::filesystem::create_directories(frames, ec);
    if (!std::filesystem::is_directory(frames, ec))
        return refuse(std::string("cannot make the output folder ") + frames);

    // Everything that could make two runs differ is fixed: the clock, the audio device, the
    // message boxes, the other instances, and (unless given) the records.
    platform::DeviceProfile& profile = platform::DeviceProfile::current();
    profile.clock = platform::ClockMode::Fake;
    profile.audio = platform::AudioMode::Manual;
    profile.messageBoxes = platform::MessageBoxMode::Recorded;
    platform::FakeClock::freeze(script.seed);
    if (!profile.registryGiven) {
        const std::string registry = std::string(frames) + "/registry.sqlite";
        for (const char* suffix : {"", "-wal", "-shm"})
            std::filesystem::remove(registry + suffix, ec);
        profile.registryPath = registry;
    }
    const bool privateGroup = profile.instanceNamespace.empty();
    platform::InstanceRegistry::setNamespace(privateGroup ? "script-" + std::to_string(getpid())
                                                          : profile.instanceNamespace);
    platform::HeadlessBackend& backend = platform::WindowSystem::useHeadless();

    ScriptRunner runner(std::move(script), frames, backend);
    int status = runProgram(instance, commandLine, &runner);
    if (privateGroup)
        platform::InstanceRegistry::removeEmptyNamespace();

    if (runner.commandsLeft() > 0)
        std::fprintf(stderr, "pallasterhorn: the run ended before %zu command(s) of the script\n",
                     runner.commandsLeft());
    problem.clear();
    if (!runner.writeManifest(problem))
        std::fprintf(stderr, "pallasterhorn: %s\n", problem.c_str());
    for (const std::string& p : runner.problems())
        std::fprintf(stderr, "pallasterhorn: %s\n", p.c_str());
    if (status == 0 && !platform::WindowSystem::recordedMessageBoxes().empty())
        status = kMessageBoxShown;
    if (status == 0 && (!problem.empty() || !runner.problems().empty()))
        status = kScriptRefused;
    return status;
}

} // namespace host

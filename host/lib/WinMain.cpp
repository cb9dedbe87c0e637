// The program's entry: resources, the instance group, then a normal or a scripted run.
#include "GameEngine.h"
#include "HostResources.h"
#include "RunEngine.h"
#include "ScriptRun.h"

#include "platform/DeviceProfile.h"
#include "platform/entry.h"
#include "platform/window/InstanceRegistry.h"
#include "platform/window/SdlBackend.h"
#include "platform/window/WindowSystem.h"

#include <cstdio>
#include <string>
#include <unistd.h>

namespace {

// The desktop window's backend, before anything else starts: without a display the program
// says so and how to run without one, instead of running where nobody sees it.
bool openDesktop()
{
    std::string failure;
    auto sdl = platform::SdlBackend::create(&failure);
    if (!sdl) {
        std::fprintf(stderr,
                     "pallasterhorn: no display to open a window on (%s); to run without one, "
                     "set PH_WINDOW_BACKEND=headless or PH_WINDOW_BACKEND=script\n",
                     failure.c_str());
        return false;
    }
    platform::WindowSystem::setBackend(std::move(sdl));
    return true;
}

} // namespace

int WinMain(HINSTANCE instance, HINSTANCE, LPWSTR commandLine, int)
{
    host::registerResources();
    platform::DeviceProfile& profile = platform::DeviceProfile::current();
    if (profile.windowBackend == platform::WindowMode::Script)
        return host::runScript(instance, commandLine);
    if (profile.windowBackend == platform::WindowMode::Sdl && !openDesktop())
        return CGameEngine::kDisplayFailed;

    // A run without a desktop window must never find a player's game and quit in its favour.
    bool privateGroup = false;
    if (!profile.instanceNamespace.empty()) {
        platform::InstanceRegistry::setNamespace(profile.instanceNamespace);
    } else if (profile.windowBackend == platform::WindowMode::Headless) {
        platform::InstanceRegistry::setNamespace("headless-" + std::to_string(getpid()));
        privateGroup = true;
    }
    // Nobody plays a run without a window: it keeps its records to itself unless told a file.
    if (profile.windowBackend == platform::WindowMode::Headless && !profile.registryGiven)
        profile.registryPath = ":memory:";
    const int status = host::runProgram(instance, commandLine, nullptr);
    if (privateGroup)
        platform::InstanceRegistry::removeEmptyNamespace();
    return status;
}

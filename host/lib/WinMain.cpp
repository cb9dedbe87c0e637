// The program's entry: resources, the instance group, then a normal or a scripted run.
#include "HostResources.h"
#include "RunEngine.h"
#include "ScriptRun.h"

#include "platform/DeviceProfile.h"
#include "platform/entry.h"
#include "platform/window/InstanceRegistry.h"

#include <string>
#include <unistd.h>

int WinMain(HINSTANCE instance, HINSTANCE, LPWSTR commandLine, int)
{
    host::registerResources();
    platform::DeviceProfile& profile = platform::DeviceProfile::current();
    if (profile.windowBackend == platform::WindowBackendKind::Script)
        return host::runScript(instance, commandLine);

    // A run without a desktop window must never find a player's game and quit in its favour.
    bool privateGroup = false;
    if (!profile.instanceNamespace.empty()) {
        platform::InstanceRegistry::setNamespace(profile.instanceNamespace);
    } else if (profile.windowBackend == platform::WindowBackendKind::Headless) {
        platform::InstanceRegistry::setNamespace("headless-" + std::to_string(getpid()));
        privateGroup = true;
    }
    // Nobody plays a run without a window: it keeps its records to itself unless told a file.
    if (profile.windowBackend == platform::WindowBackendKind::Headless && !profile.registryGiven)
        profile.registryPath = ":memory:";
    const int status = host::runProgram(instance, commandLine, nullptr);
    if (privateGroup)
        platform::InstanceRegistry::removeEmptyNamespace();
    return status;
}

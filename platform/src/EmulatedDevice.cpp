#include "platform/EmulatedDevice.h"

#include "platform/modules/BuiltinModules.h"
#include "platform/modules/ModuleTable.h"
#include "platform/registry.h"
#include "platform/sim/CoreLinkSimulation.h"
#include "platform/sim/EscapeSimulation.h"
#include "platform/sim/GapiSimulation.h"
#include "platform/sim/MapiSimulation.h"
#include "platform/sim/PhysicalMemory.h"
#include "platform/testing/ManualWaveOut.h"
#include "platform/testing/RegistryFaults.h"
#include "platform/testing/ThreadFaults.h"
#include "platform/threads.h"
#include "platform/waveout.h"
#include "platform/window/InstanceRegistry.h"
#include "platform/window/WindowSystem.h"

#include <mutex>
#include <vector>

namespace platform {

namespace {

struct Resets
{
    std::mutex lock;
    std::vector<std::function<void()>> all;
};

Resets& resets()
{
    static auto* r = new Resets;
    return *r;
}

// The registry's part of a fresh start; the one place to add its switches to.
void resetRegistry()
{
    Registry::closeDatabase();
    RegistryFaults::clearFaults();
}

void resetSimulatedHardware()
{
    using namespace sim;
    GapiSimulation::uninstall();
    GxDmaSimulation::uninstall();
    CoreLinkSimulation::uninstall();
    MapiSimulation::uninstall();
    EscapeSimulation::reset();
    PhysicalMemory::reset();
    // After the simulations, which define their libraries absent on uninstall.
    ModuleTable::reset();
}

} // namespace

void EmulatedDevice::reset()
{
    // The layers above first, newest first: they stop what they run on the platform (a
    // messaging watch, a display driver) while it is still there.
    std::vector<std::function<void()>> upper;
    {
        std::lock_guard<std::mutex> g(resets().lock);
        upper = resets().all;
    }
    for (auto it = upper.rbegin(); it != upper.rend(); ++it)
        (*it)();

    WindowSystem::resetForTests();
    WindowSystem::setBackend(nullptr);
    InstanceRegistry::clearSeeds();
    resetSimulatedHardware();
    resetAllKeysState();
    setMutexCreationFails(false);
    setThreadCreationFails(false);
    setManualWaveOutConfig({});
    // The profile last but one: it also resets the fake clock and the file faults, and the
    // registry path that the registry's next open uses.
    DeviceProfile::reset();
    resetRegistry();
}

bool EmulatedDevice::addReset(std::function<void()> reset)
{
    std::lock_guard<std::mutex> g(resets().lock);
    resets().all.push_back(std::move(reset));
    return true;
}

} // namespace platform

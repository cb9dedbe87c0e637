#include "DeviceFixture.h"

#include "platform/window/InstanceRegistry.h"

#include <string>
#include <unistd.h>

namespace testsupport {

void freshDevice()
{
    platform::EmulatedDevice::reset();
    platform::InstanceRegistry::setNamespace("ph-test-" + std::to_string(getpid()));
    platform::InstanceRegistry::removeEmptyNamespace();
}

} // namespace testsupport

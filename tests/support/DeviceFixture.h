// The fixture every suite that touches the emulated device starts from: a fresh device before
// and after each test, and a private instance namespace, so that no setting, simulation or
// window leaks into the next test whatever order the tests run in.
#pragma once

#include "platform/EmulatedDevice.h"

#include <gtest/gtest.h>

namespace testsupport {

// Resets the emulated device and claims this process's private instance namespace.
void freshDevice();

} // namespace testsupport

class DeviceTest : public ::testing::Test
{
  protected:
    DeviceTest() { testsupport::freshDevice(); }
    ~DeviceTest() override { testsupport::freshDevice(); }
    platform::DeviceProfile& profile() { return platform::EmulatedDevice::profile(); }
};

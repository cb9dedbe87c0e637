// Restores the default device profile (and with it the fake clock and file faults) around a
// test, so that no setting leaks into the next one.
#pragma once

#include "platform/DeviceProfile.h"

#include <gtest/gtest.h>

class ProfileTest : public ::testing::Test
{
  protected:
    ProfileTest() { platform::DeviceProfile::reset(); }
    ~ProfileTest() override { platform::DeviceProfile::reset(); }
    platform::DeviceProfile& profile() { return platform::DeviceProfile::current(); }
};

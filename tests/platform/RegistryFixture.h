// A registry database of the test's own in a fresh folder, message boxes recorded instead of
// shown, and the small helpers the registry tests share.
#pragma once

#include "DeviceFixture.h"
#include "TempFolder.h"
#include "platform/registry.h"
#include "platform/testing/RegistryFaults.h"
#include "platform/window/WindowSystem.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

class RegistryFixture : public DeviceTest
{
  protected:
    RegistryFixture()
    {
        platform::Registry::closeDatabase();
        profile().registryPath = dbPath();
        // The registry's notices are message boxes: kept, never shown.
        profile().messageBoxes = platform::MessageBoxMode::Recorded;
        boxesBefore = platform::WindowSystem::recordedMessageBoxes().size();
    }
    ~RegistryFixture() override
    {
        platform::RegistryFaults::clearFaults();
        platform::Registry::closeDatabase();
    }

    std::string folderPath() const { return folder.path() + "/data/pallasterhorn"; }
    std::string dbPath() const { return folderPath() + "/registry.sqlite"; }

    HKEY create(const char16_t* path, DWORD* disposition = nullptr)
    {
        HKEY key = nullptr;
        EXPECT_EQ(ERROR_SUCCESS, RegCreateKeyExW(HKEY_CURRENT_USER, path, 0, nullptr, 0, 0, nullptr,
                                                 &key, disposition));
        return key;
    }
    // The key, or null with the error in `result`.
    static HKEY tryCreate(const char16_t* path, LONG& result)
    {
        HKEY key = nullptr;
        result = RegCreateKeyExW(HKEY_CURRENT_USER, path, 0, nullptr, 0, 0, nullptr, &key, nullptr);
        return result == ERROR_SUCCESS ? key : nullptr;
    }
    static LONG set(HKEY key, const char16_t* name, const std::string& bytes)
    {
        return RegSetValueExW(key, name, 0, REG_BINARY, reinterpret_cast<const BYTE*>(bytes.data()),
                              static_cast<DWORD>(bytes.size()));
    }
    static std::string get(HKEY key, const char16_t* name)
    {
        BYTE buffer[512];
        DWORD size = sizeof buffer;
        DWORD type = 0;
        LONG r = RegQueryValueExW(key, name, nullptr, &type, buffer, &size);
        if (r != ERROR_SUCCESS)
            return "error " + std::to_string(r);
        return std::string(reinterpret_cast<const char*>(buffer), size);
    }
    // The texts of the message boxes shown since the test began.
    std::vector<std::string> boxes() const
    {
        std::vector<std::string> out;
        const auto& kept = platform::WindowSystem::recordedMessageBoxes();
        for (size_t i = boxesBefore; i < kept.size(); ++i)
            out.push_back(kept[i].text);
        return out;
    }

    testsupport::TempFolder folder;
    size_t boxesBefore = 0;
};

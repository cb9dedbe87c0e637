#include "DeviceFixture.h"

#include <gtest/gtest.h>

#include <map>
#include <vector>

using platform::DeviceProfile;
using ProfileTest = DeviceTest;

namespace {

auto lookupIn(const std::map<std::string, std::string>& vars)
{
    return [&vars](const char* name) -> const char* {
        auto it = vars.find(name);
        return it == vars.end() ? nullptr : it->second.c_str();
    };
}

} // namespace

TEST_F(ProfileTest, DefaultsDescribeTheRealRun)
{
    DeviceProfile& p = profile();
    EXPECT_EQ(p.screenWidth, 240);
    EXPECT_EQ(p.screenHeight, 320);
    EXPECT_EQ(p.scale, 2);
    EXPECT_FALSE(p.scaleChosen); // the window fits the desktop, at most twice the screen
    EXPECT_EQ(p.bitsPerPixel, 16);
    EXPECT_EQ(p.logPixelsY, 96);
    EXPECT_EQ(p.platformType, u"PocketPC");
    EXPECT_EQ(p.cpuId, 0u);
    EXPECT_FALSE(p.touchDriver);
    EXPECT_TRUE(p.programFile.empty());
    EXPECT_EQ(p.clock, platform::ClockMode::Real);
    EXPECT_EQ(p.audio, platform::AudioMode::Sdl);
    EXPECT_EQ(p.messageBoxes, platform::MessageBoxMode::Shown);
    EXPECT_FALSE(p.mapiAvailable);
    EXPECT_EQ(p.orientationAnswer, 0);

    p.screenWidth = 1;
    p.touchDriver = true;
    DeviceProfile::reset();
    EXPECT_EQ(profile().screenWidth, 240);
    EXPECT_FALSE(profile().touchDriver);
}

TEST_F(ProfileTest, EnvironmentOverridesTheDefaults)
{
    std::map<std::string, std::string> vars = {
        {"PH_SCREEN_WIDTH", "480"},
        {"PH_SCREEN_HEIGHT", "640"},
        {"PH_SCALE", "3"},
        {"PH_PLATFORM_TYPE", "SmartPhone"},
        {"PH_OEM_INFO", "Toshiba e750 \xC3\xA9"},
        {"PH_CPU_ID", "0x69052000"},
        {"PH_DATA_DIR", "/srv/game/"},
        {"PH_REGISTRY", "/tmp/reg.sqlite"},
        {"PH_CLOCK", "fake"},
        {"PH_AUDIO", "manual"},
        {"PH_MESSAGE_BOXES", "record"},
        {"PH_MAPI", "1"},
        {"PH_ORIENTATION", "2"},
    };
    DeviceProfile p;
    EXPECT_TRUE(p.applyEnvironment(lookupIn(vars)).empty());
    EXPECT_EQ(p.screenWidth, 480);
    EXPECT_EQ(p.screenHeight, 640);
    EXPECT_EQ(p.scale, 3);
    EXPECT_TRUE(p.scaleChosen);
    EXPECT_EQ(p.platformType, u"SmartPhone");
    EXPECT_EQ(p.oemInfo, u"Toshiba e750 \u00e9");
    EXPECT_EQ(p.cpuId, 0x69052000u);
    EXPECT_EQ(p.programFile, "/srv/game/pallasterhorn");
    EXPECT_EQ(p.registryPath, "/tmp/reg.sqlite");
    EXPECT_EQ(p.clock, platform::ClockMode::Fake);
    EXPECT_EQ(p.audio, platform::AudioMode::Manual);
    EXPECT_EQ(p.messageBoxes, platform::MessageBoxMode::Recorded);
    EXPECT_TRUE(p.mapiAvailable);
    EXPECT_EQ(p.orientationAnswer, 2);

    vars["PH_PROGRAM_FILE"] = "/opt/x/game";
    DeviceProfile q;
    q.applyEnvironment(lookupIn(vars));
    EXPECT_EQ(q.programFile, "/opt/x/game"); // the full name wins over the folder
}

TEST_F(ProfileTest, MalformedValuesAreIgnoredWithAWarning)
{
    std::map<std::string, std::string> vars = {
        {"PH_SCREEN_WIDTH", "wide"},  {"PH_SCREEN_HEIGHT", "-5"},   {"PH_SCALE", "99"},
        {"PH_CLOCK", "sundial"},      {"PH_PLATFORM_TYPE", "\xFF"}, {"PH_CPU_ID", "12abc"},
        {"PH_PROGRAM_FILE", "rel/x"},
    };
    DeviceProfile p;
    auto warnings = p.applyEnvironment(lookupIn(vars));
    EXPECT_EQ(warnings.size(), 7u);
    EXPECT_EQ(p.screenWidth, 240);
    EXPECT_EQ(p.screenHeight, 320);
    EXPECT_EQ(p.scale, 2);
    EXPECT_FALSE(p.scaleChosen); // a refused scale chooses nothing
    EXPECT_EQ(p.clock, platform::ClockMode::Real);
    EXPECT_EQ(p.platformType, u"PocketPC");
    EXPECT_EQ(p.cpuId, 0u);
    EXPECT_TRUE(p.programFile.empty());
}

TEST_F(ProfileTest, EveryChoiceTakesItsNamesAndNamesThemWhenRefused)
{
    struct Choice
    {
        const char* variable;
        std::vector<const char*> names;
    };
    const std::vector<Choice> choices = {{"PH_CLOCK", {"real", "fake"}},
                                         {"PH_WINDOW_BACKEND", {"sdl", "headless", "script"}},
                                         {"PH_AUDIO", {"sdl", "manual"}},
                                         {"PH_MESSAGE_BOXES", {"show", "record"}},
                                         {"PH_MAPI", {"0", "1"}}};
    for (const Choice& c : choices) {
        for (const char* name : c.names) {
            std::map<std::string, std::string> vars = {{c.variable, name}};
            DeviceProfile p;
            EXPECT_TRUE(p.applyEnvironment(lookupIn(vars)).empty()) << c.variable << name;
        }
        // Names are small letters, whole: anything else leaves the default and says which
        // names there are.
        for (const char* bad : {"SDL", "fake ", "", "2"}) {
            std::map<std::string, std::string> vars = {{c.variable, bad}};
            DeviceProfile p;
            const auto warnings = p.applyEnvironment(lookupIn(vars));
            ASSERT_EQ(warnings.size(), 1u) << c.variable << bad;
            EXPECT_EQ(warnings[0].rfind(std::string(c.variable) + "=\"" + bad + "\" ignored", 0),
                      0u)
                << warnings[0];
            for (const char* name : c.names)
                EXPECT_NE(warnings[0].find(std::string("\"") + name + "\""), std::string::npos)
                    << warnings[0];
            EXPECT_EQ(p.clock, platform::ClockMode::Real);
            EXPECT_EQ(p.windowBackend, platform::WindowMode::Sdl);
            EXPECT_EQ(p.audio, platform::AudioMode::Sdl);
            EXPECT_EQ(p.messageBoxes, platform::MessageBoxMode::Shown);
            EXPECT_FALSE(p.mapiAvailable);
        }
    }
    // The window's three names reach their own modes.
    for (const auto& [name, mode] :
         std::map<std::string, platform::WindowMode>{{"sdl", platform::WindowMode::Sdl},
                                                     {"headless", platform::WindowMode::Headless},
                                                     {"script", platform::WindowMode::Script}}) {
        std::map<std::string, std::string> vars = {{"PH_WINDOW_BACKEND", name}};
        DeviceProfile p;
        p.windowBackend = platform::WindowMode::Headless == mode ? platform::WindowMode::Script
                                                                 : platform::WindowMode::Headless;
        p.applyEnvironment(lookupIn(vars));
        EXPECT_EQ(p.windowBackend, mode) << name;
    }
}

TEST_F(ProfileTest, RegistryFollowsTheXdgDataFolder)
{
    std::map<std::string, std::string> vars = {{"XDG_DATA_HOME", "/data"}, {"HOME", "/home/u"}};
    EXPECT_EQ(DeviceProfile::defaultRegistryPath(lookupIn(vars)),
              "/data/pallasterhorn/registry.sqlite");
    vars.erase("XDG_DATA_HOME");
    EXPECT_EQ(DeviceProfile::defaultRegistryPath(lookupIn(vars)),
              "/home/u/.local/share/pallasterhorn/registry.sqlite");
    vars["XDG_DATA_HOME"] = "relative"; // not absolute: ignored, as the XDG rules say
    EXPECT_EQ(DeviceProfile::defaultRegistryPath(lookupIn(vars)),
              "/home/u/.local/share/pallasterhorn/registry.sqlite");
}

TEST_F(ProfileTest, ScriptBackendAndInstanceNamespace)
{
    std::map<std::string, std::string> vars = {{"PH_WINDOW_BACKEND", "script"},
                                               {"PH_INSTANCE_NAMESPACE", "ci-run_2.a"}};
    DeviceProfile p;
    EXPECT_TRUE(p.applyEnvironment(lookupIn(vars)).empty());
    EXPECT_EQ(p.windowBackend, platform::WindowMode::Script);
    EXPECT_EQ(p.instanceNamespace, "ci-run_2.a");

    // A namespace names a folder of its own: nothing that leaves it or hides.
    for (const char* bad :
         {"../x", "a/b", ".hidden", "with space",
          "0123456789012345678901234567890123456789012345678901234567890123456"}) {
        std::map<std::string, std::string> one = {{"PH_INSTANCE_NAMESPACE", bad}};
        DeviceProfile q;
        EXPECT_EQ(q.applyEnvironment(lookupIn(one)).size(), 1u) << bad;
        EXPECT_TRUE(q.instanceNamespace.empty()) << bad;
    }
}

TEST_F(ProfileTest, NumbersArePlainDecimalWholeTextOnly)
{
    std::map<std::string, std::string> vars = {{"PH_SCALE", "08"}, {"PH_SCREEN_WIDTH", "010"}};
    DeviceProfile p;
    EXPECT_TRUE(p.applyEnvironment(lookupIn(vars)).empty());
    EXPECT_EQ(p.scale, 8); // a leading zero is not octal
    EXPECT_EQ(p.screenWidth, 10);

    for (const char* bad : {" 4", "4 ", "+4", "0x10", "4.0", "", "99999999999999999999999"}) {
        SCOPED_TRACE(bad);
        std::map<std::string, std::string> one = {{"PH_SCALE", bad}};
        DeviceProfile q;
        auto warnings = q.applyEnvironment(lookupIn(one));
        ASSERT_EQ(warnings.size(), 1u);
        EXPECT_NE(warnings[0].find("PH_SCALE"), std::string::npos);
        EXPECT_EQ(q.scale, 2);
    }

    // The CPU ID is documented as decimal or 0x hex; octal-looking decimal stays decimal.
    std::map<std::string, std::string> cpu = {{"PH_CPU_ID", "0X6905200f"}};
    DeviceProfile c;
    EXPECT_TRUE(c.applyEnvironment(lookupIn(cpu)).empty());
    EXPECT_EQ(c.cpuId, 0x6905200Fu);
    cpu["PH_CPU_ID"] = "0x";
    EXPECT_EQ(c.applyEnvironment(lookupIn(cpu)).size(), 1u);
    cpu["PH_CPU_ID"] = "4294967296"; // one past 32 bits
    EXPECT_EQ(c.applyEnvironment(lookupIn(cpu)).size(), 1u);
    EXPECT_EQ(c.cpuId, 0x6905200Fu);
}

TEST_F(ProfileTest, AnUnknownPlatformTypeIsKeptWithAWarning)
{
    std::map<std::string, std::string> vars = {{"PH_PLATFORM_TYPE", "Palm-size PC"}};
    DeviceProfile p;
    auto warnings = p.applyEnvironment(lookupIn(vars));
    ASSERT_EQ(warnings.size(), 1u);
    EXPECT_NE(warnings[0].find("PH_PLATFORM_TYPE"), std::string::npos);
    EXPECT_EQ(p.platformType, u"Palm-size PC");

    vars["PH_PLATFORM_TYPE"] = "PocketPC";
    DeviceProfile q;
    EXPECT_TRUE(q.applyEnvironment(lookupIn(vars)).empty());
}

TEST_F(ProfileTest, AWrongCaseBackendIsWarnedAboutNamingEveryChoice)
{
    for (const char* wrong : {"SCRIPT", "Headless", "SDL", "scripted"}) {
        std::map<std::string, std::string> vars = {{"PH_WINDOW_BACKEND", wrong}};
        DeviceProfile p;
        auto warnings = p.applyEnvironment(lookupIn(vars));
        ASSERT_EQ(warnings.size(), 1u) << wrong;
        EXPECT_NE(warnings[0].find(wrong), std::string::npos) << warnings[0];
        EXPECT_NE(warnings[0].find("\"script\""), std::string::npos) << warnings[0];
        EXPECT_EQ(p.windowBackend, platform::WindowMode::Sdl);
    }
}

TEST_F(ProfileTest, AnEmptyRegistrySettingIsNoSetting)
{
    std::map<std::string, std::string> vars = {{"PH_REGISTRY", ""}, {"XDG_DATA_HOME", "/data"}};
    DeviceProfile p;
    EXPECT_TRUE(p.applyEnvironment(lookupIn(vars)).empty());
    EXPECT_FALSE(p.registryGiven);
    EXPECT_EQ(p.registryPath, "/data/pallasterhorn/registry.sqlite");

    vars["PH_REGISTRY"] = "file:records.sqlite?mode=memory";
    DeviceProfile q;
    q.applyEnvironment(lookupIn(vars));
    EXPECT_TRUE(q.registryGiven);
    EXPECT_EQ(q.registryPath, "file:records.sqlite?mode=memory");
}

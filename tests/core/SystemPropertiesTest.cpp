#include "DeviceFixture.h"
#include "lang/DSystem.h"
#include "platform/modules/ModuleTable.h"
#include "platform/registry.h"
#include "platform/testing/FakeClock.h"

#include <string>

using namespace qev::lang;
using platform::ModuleTable;

namespace {

class SystemProperties : public DeviceTest
{
  protected:
    SystemProperties() { profile().registryPath = ":memory:"; }
    ~SystemProperties() override
    {
        ModuleTable::define("touch.dll", {}, false);
        platform::Registry::closeDatabase();
    }
    static std::u16string text(const DStringPtr& s) { return s ? s->chars() : u"<null>"; }
};

} // namespace

TEST_F(SystemProperties, TextPropertiesAreCaseSensitiveAndUnknownKeysNull)
{
    profile().programFile = "/opt/game/bin/pallasterhorn";
    EXPECT_EQ(u"\\", text(DSystem::getProperty(u"file.separator")));
    EXPECT_EQ(u"\\opt\\game\\bin", text(DSystem::getProperty(u"app.fullpath")));
    EXPECT_EQ(u"game.dat", text(DSystem::getProperty(u"archive.name")));
    EXPECT_EQ(u"", text(DSystem::getProperty(u"archive.password"))); // empty, not null
    EXPECT_EQ(u"PocketPC", text(DSystem::getProperty(u"platform.string")));
    EXPECT_EQ(u"<null>", text(DSystem::getProperty(u"ARCHIVE.NAME")));
    EXPECT_EQ(u"<null>", text(DSystem::getProperty(u"archive.name ")));
    EXPECT_EQ(u"<null>", text(DSystem::getProperty(DStringPtr())));
    profile().platformType = u"SmartPhone";
    EXPECT_EQ(u"SmartPhone", text(DSystem::getProperty(u"platform.string")));
}

TEST_F(SystemProperties, TheProgramFolderIsNeverACutName)
{
    profile().programFile = "/opt/game/bin/pallasterhorn";
    profile().moduleNameLimit = 8; // the program's name comes back cut short
    EXPECT_EQ(u"", text(DSystem::getProperty(u"app.fullpath")));
    // A name longer than the classic limit is read whole.
    profile().moduleNameLimit = 0;
    const std::string deep = "/" + std::string(300, 'd');
    profile().programFile = deep + "/pallasterhorn";
    EXPECT_EQ(u"\\" + std::u16string(300, u'd'), text(DSystem::getProperty(u"app.fullpath")));
}

TEST_F(SystemProperties, IntegerPropertiesAndTheirDefault)
{
    const std::pair<const char16_t*, int32_t> fixed[] = {
        {u"platform.type", 2},       {u"input.qwerty", -1},
        {u"input.mouse", 0},         {u"sound.stereo", 1},
        {u"sound.bps", 16},          {u"sound.frequency", 44100},
        {u"sound.sfx_channels", 32}, {u"sound.music_channels", 16},
        {u"platform.browser", 1},    {u"unknown", -1},
        {u"SOUND.BPS", -1},
    };
    for (auto [key, value] : fixed)
        EXPECT_EQ(value, DSystem::getIntProperty(key)) << std::string(key, key + 5);
    EXPECT_EQ(1, DSystem::getIntProperty(u"input.touchscreen"));
    EXPECT_EQ(0, DSystem::getIntProperty(u"input.softkeys"));
    profile().platformType = u"SmartPhone";
    EXPECT_EQ(1, DSystem::getIntProperty(u"input.softkeys"));
}

TEST_F(SystemProperties, TouchScreenFromTheRegisteredDriverWhenItLoads)
{
    profile().platformType = u"SmartPhone";
    EXPECT_EQ(0, DSystem::getIntProperty(u"input.touchscreen")); // no driver registered

    profile().touchDriver = true; // registered, but the library is missing
    EXPECT_EQ(0, DSystem::getIntProperty(u"input.touchscreen"));

    ModuleTable::define("touch.dll", {}, true);
    EXPECT_EQ(1, DSystem::getIntProperty(u"input.touchscreen"));
    EXPECT_EQ(0, ModuleTable::loadCount("touch.dll")); // freed again at once

    profile().touchDriver = false;
    EXPECT_EQ(0, DSystem::getIntProperty(u"input.touchscreen"));
}

TEST_F(SystemProperties, MillisecondsFromTheSixtyFourBitClock)
{
    profile().clock = platform::ClockMode::Fake;
    platform::FakeClock::freeze(5000);
    const int64_t start = DSystem::currentTimeMillis();
    platform::FakeClock::step(250);
    EXPECT_EQ(250, DSystem::currentTimeMillis() - start);
    // Past 2^32 ms (49.7 days) the clock keeps counting instead of wrapping to 0.
    platform::FakeClock::jumpTo(int64_t(1) << 33);
    EXPECT_EQ(int64_t(1) << 33, DSystem::currentTimeMillis());
}

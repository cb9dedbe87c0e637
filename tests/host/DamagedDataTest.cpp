// The real program on copies of the built game data with one entry missing or damaged: it either
// ends with a box that names the entry or goes on with screens that answer the keys, never
// standing still on a half-made screen.
#include "ScriptedRun.h"
#include "TempFolder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <string>
#include <sys/wait.h>
#include <utility>

namespace {

// Start-up answered (English, no sound) up to the main menu.
const std::string kToMainMenu = "50 press 13\n80 press 13\n200 dump main-menu\n";

class DamagedData : public ::testing::Test
{
  protected:
    // The built game data without `entry`, and with `bytes` in its place when given.
    void damage(const std::string& entry, const std::string* bytes = nullptr)
    {
        const std::string dat = folder.path() + "/data/game.dat";
        std::string command = "mkdir -p '" + folder.path() + "/data' && cp '" + gameData() + "' '" +
                              dat + "' && 7z d -bso0 -bsp0 '" + dat + "' '" + entry + "'";
        if (bytes) {
            folder.write("staging/" + entry, *bytes);
            command += " && cd '" + folder.path() + "/staging' && 7z a -t7z -m0=LZMA -ms=off " +
                       "-mf=off -bso0 -bsp0 '" + dat + "' '" + entry + "'";
        }
        ASSERT_EQ(std::system(command.c_str()), 0) << command;
    }
    // The bytes of an entry of the built game data.
    std::string entryOf(const std::string& entry)
    {
        const std::string command = "7z e -so '" + gameData() + "' '" + entry + "' > '" +
                                    folder.path() + "/entry' 2>/dev/null";
        EXPECT_EQ(std::system(command.c_str()), 0);
        return folder.read("entry");
    }
    // Plays the script on the damaged copy (or the built data when none was made); the status.
    int play(const std::string& name, const std::string& script)
    {
        const std::string out = folder.path() + "/" + name;
        const std::string data = std::ifstream(folder.path() + "/data/game.dat").good()
                                     ? folder.path() + "/data"
                                     : std::string(PH_PROGRAM_FOLDER);
        const testsupport::ScriptedRun run =
            testsupport::runScript(PH_PROGRAM, folder.write(name + ".txt", script), out,
                                   {{"PH_DATA_DIR", data}, {"PH_REGISTRY", out + ".sqlite"}});
        log = run.log;
        return run.status;
    }
    bool logHas(const std::string& text) const { return log.find(text) != std::string::npos; }
    // The picture of a dump of a run, or "" when it was not taken.
    std::string dump(const std::string& run, const std::string& name) const
    {
        return folder.read(run + "/" + name + ".png");
    }
    static std::string gameData() { return std::string(PH_PROGRAM_FOLDER) + "/game.dat"; }

    testsupport::TempFolder folder;
    std::string log;
};

TEST_F(DamagedData, AMissingLogoIsNamedInTheBoxAndOnTheErrorOutput)
{
    damage("graphics/logo.png");
    EXPECT_EQ(play("logo", kToMainMenu), 4) << log;
    EXPECT_TRUE(logHas("pallasterhorn: not found: image /graphics/logo.png\n")) << log;
    EXPECT_TRUE(logHas("Run - unhadled exception 0x6000000!\nIOException\r\nno entry "
                       "/graphics/logo.png"))
        << log;
}

TEST_F(DamagedData, AGameWhoseAtlasIsDamagedIsRefusedByNameAndTheMenuAnswers)
{
    const std::string oneByte = "x";
    damage("graphics/qvga/tesk/all.txt", &oneByte);
    // The brick-breaker is chosen; back on the main menu, a key moves its selection.
    const int status = play("tesk", kToMainMenu + "201 press 13\n320 dump back\n321 press 39\n"
                                                  "360 dump moved\n361 end\n");
    EXPECT_EQ(status, 5) << "a box was shown\n" << log;
    EXPECT_TRUE(logHas("Error!: The screen cannot start!\nArrayIndexOutOfBoundsException\r\n"
                       "/tesk/all.txt line 1: fewer than five fields"))
        << log;
    ASSERT_FALSE(dump("tesk", "back").empty()) << log;
    EXPECT_NE(dump("tesk", "back"), dump("tesk", "moved")) << "the key changed nothing";
}

TEST_F(DamagedData, AMainMenuWhoseIconAtlasIsDamagedEndsTheRunNamingIt)
{
    const std::string oneByte = "x";
    damage("graphics/qvga/menu/small_icons.txt", &oneByte);
    EXPECT_EQ(play("menu", kToMainMenu), 4) << log;
    EXPECT_TRUE(logHas("Run - unhadled exception 0x5800001!\nArrayIndexOutOfBoundsException\r\n"
                       "/menu/small_icons.txt line 1: fewer than five fields"))
        << log;
}

TEST_F(DamagedData, AGameWhoseAnimationListIsMissingIsRefusedByName)
{
    damage("corv/anim.txt");
    // The formation shooter is the third entry of the main menu.
    const int status = play("corv", kToMainMenu + "201 press 39\n230 press 39\n260 press 13\n"
                                                  "380 dump back\n381 end\n");
    EXPECT_EQ(status, 5) << log;
    EXPECT_TRUE(logHas("Error!: The screen cannot start!\nIOException\r\ncannot open "
                       "/corv/anim.txt"))
        << log;
    EXPECT_FALSE(dump("corv", "back").empty()) << "the run goes on\n" << log;
}

TEST_F(DamagedData, FontDescriptorsWithBadCountsAreNamedAndTheGameGoesOn)
{
    // A count larger than the glyphs on the second page keeps them all: the language question
    // looks as with the intact fonts. A negative count on the first page reads no glyph of it.
    const std::string script = "49 dump language\n50 end\n";
    ASSERT_EQ(play("intact", script), 0) << log;
    const std::string intact = dump("intact", "language");
    ASSERT_FALSE(intact.empty());
    for (const char* font : {"menu", "menusel"}) {
        for (const auto& [page, count] : {std::pair{0, -128}, std::pair{1, 127}}) {
            const std::string entry =
                std::string("graphics/fonts/") + font + "/font_" + std::to_string(page);
            std::string bytes = entryOf(entry);
            ASSERT_FALSE(bytes.empty());
            ASSERT_LT(bytes[0], 127);
            const int whole = count < 0 ? 0 : bytes[0];
            bytes[0] = static_cast<char>(count);
            damage(entry, &bytes);
            const std::string run = std::string(font) + std::to_string(page);
            ASSERT_EQ(play(run, script), 0) << log;
            if (count > 0) {
                EXPECT_EQ(dump(run, "language"), intact) << entry;
            }
            EXPECT_TRUE(logHas("pallasterhorn: damaged: /" + entry + ": count " +
                               std::to_string(count) + ", " + std::to_string(whole) +
                               " whole glyphs"))
                << log;
        }
    }
}

} // namespace

// The real program on copies of the built game data with one entry missing or damaged: it either
// ends with a box that names the entry or goes on with screens that answer the keys, never
// standing still on a half-made screen.
#include "TempFolder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <sys/wait.h>

namespace {

std::string readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

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
        return readFile(folder.path() + "/entry");
    }
    // Plays the script on the damaged copy (or the built data when none was made); the status.
    int play(const std::string& name, const std::string& script)
    {
        const std::string out = folder.path() + "/" + name;
        const std::string data = std::ifstream(folder.path() + "/data/game.dat").good()
                                     ? folder.path() + "/data"
                                     : std::string(PH_PROGRAM_FOLDER);
        const std::string command = "PH_DATA_DIR='" + data + "' PH_REGISTRY='" + out + ".sqlite' " +
                                    "PH_WINDOW_BACKEND=script PH_SCRIPT='" +
                                    folder.write(name + ".txt", script) + "' PH_FRAMES='" + out +
                                    "' '" + PH_PROGRAM + "' >'" + out + ".log' 2>&1";
        const int status = std::system(command.c_str());
        log = readFile(out + ".log");
        manifest = readFile(out + "/manifest.txt");
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    bool logHas(const std::string& text) const { return log.find(text) != std::string::npos; }
    // The hash the manifest lists for a dump, or "".
    std::string hashOf(const std::string& file) const
    {
        std::istringstream lines(manifest);
        std::string pass, name, hash;
        while (lines >> pass >> name >> hash)
            if (name == file)
                return hash;
        return "";
    }
    static std::string gameData() { return std::string(PH_PROGRAM_FOLDER) + "/game.dat"; }

    testsupport::TempFolder folder;
    std::string log;
    std::string manifest;
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
    ASSERT_FALSE(hashOf("back.png").empty()) << manifest;
    EXPECT_NE(hashOf("back.png"), hashOf("moved.png")) << "the key changed nothing";
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
    EXPECT_FALSE(hashOf("back.png").empty()) << "the run goes on\n" << log;
}

TEST_F(DamagedData, AFontDescriptorWithATooLargeCountDrawsLikeTheIntactOne)
{
    const std::string script = "49 dump language\n50 end\n";
    ASSERT_EQ(play("intact", script), 0) << log;
    const std::string intact = hashOf("language.png");
    for (const char* font : {"menu", "menusel"}) {
        const std::string entry = std::string("graphics/fonts/") + font + "/font_0";
        std::string bytes = entryOf(entry);
        ASSERT_FALSE(bytes.empty());
        ASSERT_LT(bytes[0], 127);
        bytes[0] = 127;
        damage(entry, &bytes);
        ASSERT_EQ(play(font, script), 0) << log;
        EXPECT_EQ(hashOf("language.png"), intact) << font;
        EXPECT_TRUE(logHas("pallasterhorn: damaged: /" + entry + ": count 127")) << log;
    }
}

} // namespace

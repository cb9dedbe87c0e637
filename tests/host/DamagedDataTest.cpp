// The real program on copies of the built game data with one entry missing or damaged: it either
// ends with a box that names the entry or goes on with screens that answer the keys, never
// standing still on a half-made screen.
#include "PngBytes.h"
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
    // The built game data with `entry` encrypted: listed, but not readable without a password.
    void encrypt(const std::string& entry)
    {
        const std::string bytes = entryOf(entry);
        damage(entry);
        folder.write("locked/" + entry, bytes);
        const std::string command = "cd '" + folder.path() + "/locked' && 7z a -t7z -pSecret " +
                                    "-bso0 -bsp0 '" + folder.path() + "/data/game.dat' '" + entry +
                                    "'";
        ASSERT_EQ(std::system(command.c_str()), 0) << command;
    }
    // A 7z archive of the files in folder `staged` (below the temporary folder) as game.dat, made
    // with the archiver's `options` (such as "-pSecret").
    void archiveAsGameData(const std::string& staged, const std::string& options)
    {
        const std::string command = "mkdir -p '" + folder.path() + "/data' && rm -f '" +
                                    folder.path() + "/data/game.dat' && cd '" + folder.path() +
                                    "/" + staged + "' && 7z a -t7z " + options + " -bso0 -bsp0 '" +
                                    folder.path() + "/data/game.dat' .";
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
        std::map<std::string, std::string> env = environment;
        env["PH_DATA_DIR"] = data;
        env["PH_REGISTRY"] = out + ".sqlite";
        const testsupport::ScriptedRun run =
            testsupport::runScript(PH_PROGRAM, folder.write(name + ".txt", script), out, env);
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
    // Further variables set for the program.
    std::map<std::string, std::string> environment;
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

// Dark pixels of the dump in the rectangle: the text drawn there.
int darkPixels(const testsupport::Picture& p, int left, int top, int right, int bottom)
{
    int dark = 0;
    for (int y = top; y < bottom && y < p.height; ++y)
        for (int x = left; x < right && x < p.width; ++x)
            dark += (p.at(x, y) & 0x808080) == 0;
    return dark;
}

// The "not supported" page: three lines of black text in the middle of a white screen, then the
// run's end as a failed start once it has been shown for two seconds (80 passes of 25 ms).
const std::string kWatchThePage = "1 dump first\n40 dump middle\n79 dump last\n81 dump after\n";

void expectThePage(const std::string& run, const std::string& folderPath)
{
    for (const char* name : {"first", "middle", "last"}) {
        const testsupport::Picture page =
            testsupport::readPicture(folderPath + "/" + run + "/" + name + ".png");
        ASSERT_GT(page.width, 0) << run << " " << name << ": no picture";
        const int cx = page.width / 2, cy = page.height / 2;
        EXPECT_GT(darkPixels(page, cx - 50, cy - 30, cx + 50, cy + 30), 100)
            << run << " " << name << ": no text in the middle";
        EXPECT_EQ(page.at(2, 2), 0xFFFFFFu) << run << " " << name;
        EXPECT_EQ(page.at(page.width - 3, 2), 0xFFFFFFu) << run << " " << name;
    }
}

TEST_F(DamagedData, AScreenWithoutConfigurationShowsThePageAndEndsAsAFailedStart)
{
    // A width the data has no configuration for, and the usual size with its configuration gone
    // from otherwise whole data: the screen is the fault, the page says so, no box.
    environment = {{"PH_SCREEN_WIDTH", "241"}};
    EXPECT_EQ(play("narrow", kWatchThePage), 3) << log;
    EXPECT_TRUE(logHas("pallasterhorn: not found: resource /241x320\n")) << log;
    EXPECT_FALSE(logHas("Error!")) << log;
    expectThePage("narrow", folder.path());
    EXPECT_TRUE(dump("narrow", "after").empty()) << "the page stayed beyond its two seconds";

    environment.clear();
    damage("240x320");
    EXPECT_EQ(play("unconfigured", kWatchThePage), 3) << log;
    EXPECT_TRUE(logHas("pallasterhorn: not found: resource /240x320\n")) << log;
    EXPECT_FALSE(logHas("Error!")) << log;
    expectThePage("unconfigured", folder.path());
    EXPECT_TRUE(dump("unconfigured", "after").empty());
}

TEST_F(DamagedData, DataAtFaultShowsThePageAndABoxNamingTheFault)
{
    // The configuration listed but unreadable (encrypted).
    encrypt("240x320");
    EXPECT_EQ(play("locked", kWatchThePage), 3) << log;
    EXPECT_TRUE(logHas("pallasterhorn: damaged: /240x320: cannot read entry\n")) << log;
    EXPECT_TRUE(logHas("Error!: The game data cannot be used!\ncannot read entry /240x320\n"))
        << log;
    EXPECT_FALSE(logHas("not found")) << log;
    expectThePage("locked", folder.path());

    // An archive of other files, plainly and with encrypted contents.
    folder.write("other/notes.txt", "not game data\n");
    for (const char* options : {"", "-pSecret"}) {
        archiveAsGameData("other", options);
        const std::string run = *options ? "other-encrypted" : "other";
        EXPECT_EQ(play(run, kWatchThePage), 3) << log;
        EXPECT_TRUE(logHas("Error!: The game data cannot be used!\nnot this game's data: no "
                           "entry /240x320 and no entry /graphics/logo.png\n"))
            << log;
        expectThePage(run, folder.path());
    }
}

TEST_F(DamagedData, ADamagedImageIsNamedAsTheEntryReadAndAsDamaged)
{
    const std::string notAPicture = "not a picture";
    damage("graphics/qvga/menu/back.jpg", &notAPicture);
    EXPECT_EQ(play("back", kToMainMenu), 4) << log;
    EXPECT_TRUE(logHas("pallasterhorn: damaged: /graphics/qvga/menu/back.jpg: cannot decode "
                       "image\n"))
        << log;
    EXPECT_TRUE(logHas("IOException\r\ncannot decode image /graphics/qvga/menu/back.jpg")) << log;
    EXPECT_FALSE(logHas("/graphics/common/menu/back.jpg")) << "a name the data never had\n" << log;
    EXPECT_FALSE(logHas("not found")) << log;
}

TEST_F(DamagedData, GamesWhoseDataLacksTheirPiecesAreRefusedByName)
{
    // The entry damaged, the main menu's entry of the game, and what the box must name.
    struct Case
    {
        std::string entry;
        std::string bytes;
        int rightPresses;
        std::string named;
    };
    std::string noShip;
    {
        std::string list = entryOf("graphics/qvga/mirf/all.txt");
        for (size_t at = 0, end; at < list.size(); at = end) {
            end = list.find('\n', at);
            end = end == std::string::npos ? list.size() : end + 1;
            if (list.compare(at, 9, "spaceship") != 0)
                noShip += list.substr(at, end - at);
        }
    }
    std::string noPaddle;
    {
        std::string list = entryOf("tesk/anim.txt");
        const size_t at = list.find("bigger=");
        ASSERT_NE(at, std::string::npos);
        noPaddle = list.substr(0, at) + list.substr(list.find('\n', at) + 1);
    }
    const Case cases[] = {
        {"graphics/qvga/tesk/all.txt", "", 0, "no piece lifeIcon.png in /tesk/all.txt"},
        {"tesk/anim.txt", noPaddle, 0, "bigger of /tesk/anim.txt: missing"},
        {"graphics/qvga/mirf/all.txt", noShip, 1, "no piece spaceship1 in /mirf/all.txt"},
        {"graphics/qvga/mirf/all.txt", "x", 1, "/mirf/all.txt line 1: fewer than five fields"},
    };
    int run = 0;
    for (const Case& c : cases) {
        damage(c.entry, &c.bytes);
        std::string script = kToMainMenu;
        for (int i = 0; i < c.rightPresses; ++i)
            script += std::to_string(201 + 30 * i) + " press 39\n";
        script += "260 press 13\n400 dump back\n401 press 39\n440 dump moved\n441 end\n";
        const std::string name = "game" + std::to_string(run++);
        EXPECT_EQ(play(name, script), 5) << c.named << "\n" << log;
        EXPECT_TRUE(logHas("Error!: The screen cannot start!\n")) << log;
        EXPECT_TRUE(logHas(c.named + "\n")) << c.named << "\n" << log;
        ASSERT_FALSE(dump(name, "back").empty()) << log;
        EXPECT_NE(dump(name, "back"), dump(name, "moved")) << c.named << ": the menu is stuck";
    }
}

TEST_F(DamagedData, ADamagedLanguageListIsNamedWhenAGameNeedsItsTexts)
{
    const std::string garbage = "garbage";
    damage("txt/lang.txt", &garbage);
    // The space-rock game reads its ship's lives from the language's texts when play begins.
    const int status = play("lang", kToMainMenu + "201 press 39\n230 press 13\n381 press 13\n"
                                                  "420 press 13\n500 end\n");
    EXPECT_EQ(status, 4) << log;
    EXPECT_TRUE(logHas("pallasterhorn: damaged: /txt/lang.txt: no list SNAMES\n")) << log;
    EXPECT_TRUE(logHas("IOException\r\nno text Lives: no list SNAMES in /txt/lang.txt")) << log;
    EXPECT_FALSE(logHas("of /txt/res_SNAMES.txt")) << log;
}

} // namespace

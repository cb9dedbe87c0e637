// Start-up from startApp to the main menu, on the fake clock, with small screens in place of the
// shell's language, sound and main menus. Every tick is one 25 ms step and paints.
#include "ShellFixture.h"

#include "gamelib/GameLib.h"
#include "gamelib/GameMenu.h"
#include "gamelib/GameStatics.h"
#include "gamelib/ImageFont.h"
#include "gamelib/ScreenCanvas.h"
#include "gamelib/TextTable.h"

#include "io/D7zipInputStream.h"
#include "lang/DSystem.h"
#include "platform/testing/FakeClock.h"

#include <filesystem>
#include <unistd.h>

using gamelib::GameInterface;
using gamelib::GameInterfacePtr;
using gamelib::GameLib;
using platform::FakeClock;
using qev::lang::DString;
using qev::lang::DStringPtr;

namespace {

// What the stand-in screens did.
struct Journal
{
    int langMenus = 0;
    int soundMenus = 0;
    int mainMenus = 0;
    int mainStarts = 0;
    int mainStops = 0;
    int mainPaints = 0;
    int32_t chosenLanguage = 0;
    std::vector<std::string> prefixes;
} journal;

std::string narrow(const DStringPtr& s)
{
    std::string out;
    for (int32_t i = 0; s && i < s->length(); ++i)
        out.push_back(static_cast<char>(s->charAt(i)));
    return out;
}

void fill(int32_t colour)
{
    gamelib::screenGraphics->setColor(colour);
    gamelib::screenGraphics->fillRect(0, 0, gamelib::screenWidth, gamelib::screenHeight);
}

// Reads the language list and waits for fire, as the language menu does.
class StandInLangMenu : public GameInterface
{
  public:
    void start() override
    {
        gamelib::languageIndex = -1;
        gamelib::loadTextFile(u"/txt/lang", true);
        auto names = gamelib::splitText(gamelib::getText(u"LANGS"), u';');
        auto shortNames = gamelib::splitText(gamelib::getText(u"SNAMES"), u';');
        gamelib::languageNames = new qev::util::DVector();
        gamelib::languageShortNames = new qev::util::DVector();
        for (int32_t i = 0; i < names->length; ++i)
            gamelib::languageNames->addElement(qev::lang::DObjectPtr(DStringPtr(names[i])));
        for (int32_t i = 0; i < shortNames->length; ++i)
            gamelib::languageShortNames->addElement(
                qev::lang::DObjectPtr(DStringPtr(shortNames[i])));
        gamelib::languageCount = names->length;
        if (names->length != shortNames->length || names->length == 1)
            gamelib::languageIndex = 0;
    }
    void update() override
    {
        if (gamelib::keyFire) {
            gamelib::languageIndex = journal.chosenLanguage;
            gamelib::screenCanvas->flushGraphics();
            gamelib::gameLib->startApp();
        }
        gamelib::ScreenCanvas::clearKeys();
    }
    void paint() override { fill(0x0000FF); }
};

class StandInSoundMenu : public GameInterface
{
  public:
    void update() override
    {
        if (gamelib::keyFire) {
            gamelib::soundAnswered = 1;
            gamelib::gameLib->startApp();
        }
        gamelib::ScreenCanvas::clearKeys();
    }
    void paint() override { fill(0x00FF00); }
};

class StandInMainMenu : public GameInterface
{
  public:
    void start() override { ++journal.mainStarts; }
    void stop() override { ++journal.mainStops; }
    // A corner mark only, so that what start-up drew stays visible around it.
    void paint() override
    {
        ++journal.mainPaints;
        gamelib::screenGraphics->setColor(0xFFFF00);
        gamelib::screenGraphics->fillRect(0, 0, 10, 10);
    }
};

class StartUp : public shelltest::ShellDisplayTest
{
  protected:
    StartUp()
    {
        journal = Journal{};
        gamelib::ShellScreens& screens = gamelib::shellScreens();
        screens.makeLangMenu = [] {
            ++journal.langMenus;
            return GameInterfacePtr(new StandInLangMenu);
        };
        screens.startSoundMenu = [](qev::lang::DStringArrayPtr prefixes) {
            ++journal.soundMenus;
            for (int32_t i = 0; i < prefixes->length; ++i)
                journal.prefixes.push_back(narrow(prefixes[i]));
            return GameInterfacePtr(new StandInSoundMenu);
        };
        screens.makeMainMenu = [] {
            ++journal.mainMenus;
            return GameInterfacePtr(new StandInMainMenu);
        };
    }
    // One 25 ms step that paints.
    void step()
    {
        FakeClock::step(GameLib::kStepMillis);
        lib->tick();
    }
    void pressFire()
    {
        gamelib::screenCanvas->keyPressed('5');
        gamelib::screenCanvas->keyReleased('5');
        step();
        step();
    }
    template <class T> bool current() const
    {
        return dynamic_cast<T*>(gamelib::currentScreen.get()) != nullptr;
    }
    bool screenIs(uint16_t colour)
    {
        return windowPixel(3, 3) == colour && windowPixel(200, 300) == colour;
    }
    // A program folder with a small archive of everything start-up reads.
    void smallArchive(const std::string& langs = "English;Deutsch",
                      const std::string& snames = "en;de")
    {
        openArchive({{"240x320", "graphics=big\r\nmenu=large\r\n"},
                     {"graphics/logo.png", shelltest::png(100, 60, 0x0000FF)},
                     {"txt/lang.txt", utf({"LANGS=" + langs, "SNAMES=" + snames})},
                     {"txt/res_en.txt", utf({"start=Start", "exit=Exit"})},
                     {"txt/res_de.txt", utf({"start=Los", "exit=Ende"})},
                     {"data/keys.txt", "KEY_LEFT_SOFT2=112\r\nKEY_RIGHT_SOFT2=113\r\n"}});
    }
    static std::string utf(std::initializer_list<std::string> records)
    {
        std::string out;
        for (const std::string& r : records) {
            out.push_back(static_cast<char>(r.size() >> 8));
            out.push_back(static_cast<char>(r.size()));
            out += r;
        }
        return out;
    }
};

TEST_F(StartUp, AskForLanguageThenSoundThenShowTheLogoAndHandOverToTheMainMenu)
{
    smallArchive();
    startDisplay(240, 320);
    lib->startApp();
    EXPECT_TRUE(lib->keepRunning());
    EXPECT_EQ(1, gamelib::screenSupported);
    EXPECT_TRUE(gamelib::graphicsSet->equals(u"big"));
    EXPECT_TRUE(current<StandInLangMenu>());
    EXPECT_EQ(0, journal.soundMenus);
    ASSERT_TRUE(gamelib::imageFonts);
    EXPECT_EQ(7, gamelib::imageFonts->length);
    ASSERT_TRUE(gamelib::sharedRandom);

    step();
    EXPECT_TRUE(screenIs(0x001F)) << "the language question is painted";
    step();
    EXPECT_TRUE(current<StandInLangMenu>()) << "it waits for an answer";

    journal.chosenLanguage = 1;
    pressFire();
    EXPECT_TRUE(current<StandInSoundMenu>());
    EXPECT_EQ((std::vector<std::string>{"tessarine", "mirrowfen", "corvantine"}), journal.prefixes);
    EXPECT_EQ(1, journal.langMenus) << "the second pass makes no second canvas or language menu";
    EXPECT_TRUE(screenIs(0x07E0));

    gamelib::screenCanvas->keyPressed('5');
    gamelib::screenCanvas->keyReleased('5');
    step();
    // The answer ran the rest of start-up inside that step: logo, bar, keys, texts, menu.
    EXPECT_TRUE(current<StandInMainMenu>());
    EXPECT_EQ(2, journal.mainMenus) << "the loading menu is replaced by a fresh one";
    EXPECT_EQ(2, journal.mainStarts);
    EXPECT_EQ(1, journal.mainStops);
    EXPECT_EQ(100, gamelib::GameMenu::progressValue());
    EXPECT_EQ(112, gamelib::softKeyLeftCode);
    EXPECT_EQ(113, gamelib::softKeyRightCode);
    EXPECT_EQ("Los", narrow(gamelib::getText(u"start")));
    EXPECT_EQ(0, gamelib::keyFire);

    // The step painted the new main menu over what start-up left: the logo centred on white,
    // and the full red loading bar.
    EXPECT_EQ(1, journal.mainPaints);
    EXPECT_EQ(0xFFE0, windowPixel(3, 3));
    const int barY = 320 - (320 >> 3);
    EXPECT_EQ(0x001F, windowPixel(120, 160)) << "logo";
    EXPECT_EQ(0xFFFF, windowPixel(20, 160)) << "white around the logo";
    EXPECT_EQ(0xF800, windowPixel(120 - 50, barY + 4)) << "progress bar, left end";
    EXPECT_EQ(0xF800, windowPixel(120 + 50, barY + 4)) << "progress bar, right end";
    EXPECT_EQ(0x0000, windowPixel(120, barY)) << "the bar's frame";
    lib->destroyApp(true);
    EXPECT_FALSE(gamelib::currentScreen);
    EXPECT_FALSE(qev::io::D7zipInputStream::isArchiveOpen());
}

TEST_F(StartUp, ASingleLanguageIsTakenWithoutAsking)
{
    smallArchive("English", "en");
    startDisplay(240, 320);
    lib->startApp();
    EXPECT_TRUE(current<StandInSoundMenu>());
    pressFire();
    EXPECT_TRUE(current<StandInMainMenu>());
    EXPECT_EQ("Start", narrow(gamelib::getText(u"start")));
}

TEST_F(StartUp, MissingKeyAndTextFilesAreNoError)
{
    openArchive({{"240x320", "graphics=big\r\n"},
                 {"graphics/logo.png", shelltest::png(10, 10, 0x0000FF)},
                 {"txt/lang.txt", utf({"LANGS=English", "SNAMES=en"})}});
    startDisplay(240, 320);
    gamelib::soundAnswered = 1;
    lib->startApp();
    EXPECT_TRUE(current<StandInMainMenu>());
    EXPECT_EQ(0, gamelib::softKeyLeftCode);
    EXPECT_EQ("start", narrow(gamelib::getText(u"start")));
}

TEST_F(StartUp, AnUnsupportedResolutionShowsTheMessageForTwoSecondsAndEnds)
{
    smallArchive();
    startDisplay(320, 240);
    lib->startApp();
    // The start returns at once: the loop runs on and keeps the page on the screen.
    EXPECT_TRUE(lib->keepRunning());
    EXPECT_TRUE(lib->startFailed()) << "however the run ends now, it did not start";
    EXPECT_EQ(0, gamelib::screenSupported);
    EXPECT_EQ(0, journal.langMenus);
    EXPECT_EQ(0, journal.soundMenus);
    EXPECT_FALSE(gamelib::textTable) << "no shared data was made";
    // Black text on white in the middle of the screen.
    auto darkIn = [this](int left, int top, int right, int bottom) {
        int dark = 0;
        for (int y = top; y < bottom; ++y)
            for (int x = left; x < right; ++x)
                dark += windowPixel(x, y) == 0;
        return dark;
    };
    EXPECT_GT(darkIn(80, 90, 240, 150), 30);
    EXPECT_EQ(0xFFFF, windowPixel(5, 5));
    // Each tick draws the message with "Exit"; the run ends once two seconds have passed.
    for (int i = 1; i < 80; ++i) {
        step();
        ASSERT_TRUE(lib->keepRunning()) << "ended after " << i * 25 << " ms";
    }
    EXPECT_GT(darkIn(80, 90, 240, 150), 30);
    EXPECT_GT(darkIn(0, 215, 40, 240), 5);
    step();
    EXPECT_FALSE(lib->keepRunning());
}

TEST_F(StartUp, TheExitKeyEndsTheUnsupportedPageAtOnce)
{
    smallArchive();
    startDisplay(320, 240);
    lib->startApp();
    step();
    gamelib::screenCanvas->keyPressed(10000);
    step();
    EXPECT_FALSE(lib->keepRunning());
}

TEST_F(StartUp, ApplicationProperties)
{
    startDisplay(240, 320);
    EXPECT_EQ("Pallasterhorn", narrow(lib->getAppProperty(u"app.name")));
    EXPECT_TRUE(lib->getAppProperty(u"screen.scale2x")->equals(u""));
    EXPECT_FALSE(lib->getAppProperty(u"app.version"));
    EXPECT_FALSE(lib->getAppProperty(nullptr));
    EXPECT_EQ("v1.4", narrow(GameLib::getVersion()));
    gamelib::screenHeight = 0; // no canvas yet
    EXPECT_EQ("/ppc", narrow(lib->getAppProperty(u"image.path")))
        << "the display's 320 before the canvas";
    gamelib::screenHeight = 240;
    EXPECT_EQ("/ppc", narrow(lib->getAppProperty(u"image.path")));
    gamelib::screenHeight = 239;
    EXPECT_EQ("", narrow(lib->getAppProperty(u"image.path")));
    gamelib::screenHeight = 208;
    DStringPtr path = lib->getAppProperty(u"image.path");
    ASSERT_TRUE(path) << "an empty prefix, not null";
    EXPECT_EQ(0, path->length());
}

TEST_F(StartUp, ImagesAreLookedForUnderTheImagePathFirst)
{
    openArchive({{"ppc/graphics/pic.png", shelltest::png(4, 4, 0)},
                 {"graphics/pic.png", shelltest::png(2, 2, 0)}});
    startDisplay(240, 320);
    gamelib::screenHeight = 320;
    EXPECT_EQ(4, qev::microedition::lcdui::DImage::createImage(u"/graphics/pic.png")->getWidth());
    gamelib::screenHeight = 176;
    EXPECT_EQ(2, qev::microedition::lcdui::DImage::createImage(u"/graphics/pic.png")->getWidth());
}

TEST_F(StartUp, PauseWithoutCanvasQueuesNothing)
{
    startDisplay(240, 320);
    gamelib::keyFire = 1;
    lib->pauseApp();
    EXPECT_EQ(0, gamelib::keyFire) << "the input is reset";
    EXPECT_EQ(0, gamelib::ScreenCanvas::queuedEvents());
}

// The archive that the data generator makes, beside the host in the build tree.
std::string generatedArchive()
{
    char exe[4096] = {};
    const ssize_t n = readlink("/proc/self/exe", exe, sizeof exe - 1);
    if (n <= 0)
        return {};
    const std::filesystem::path dat =
        std::filesystem::path(exe).parent_path().parent_path().parent_path() / "host" / "game.dat";
    return std::filesystem::exists(dat) ? dat.string() : std::string();
}

TEST_F(StartUp, TheGeneratedGameDataCarriesStartUpToTheMainMenu)
{
    const std::string dat = generatedArchive();
    if (dat.empty())
        GTEST_SKIP() << "game.dat is not built (target game_data)";
    std::filesystem::copy_file(dat, folder.path() + "/game.dat");
    startDisplay(240, 320);
    lib->startApp();
    ASSERT_TRUE(lib->keepRunning()) << "240x320 is supported by the generated data";
    ASSERT_TRUE(current<StandInLangMenu>()) << "two languages: the question is asked";
    EXPECT_EQ(2, gamelib::languageCount);
    for (int32_t f = 0; f < 7; ++f) {
        EXPECT_GT(gamelib::imageFonts[f]->getHeight(), 0) << "font " << f;
        EXPECT_GT(gamelib::imageFonts[f]->pageCount, 0) << "font " << f;
    }
    step();
    journal.chosenLanguage = 1;
    pressFire();
    ASSERT_TRUE(current<StandInSoundMenu>());
    pressFire();
    ASSERT_TRUE(current<StandInMainMenu>());
    EXPECT_EQ(2, journal.mainStarts);
    EXPECT_TRUE(gamelib::arrowUpImage && gamelib::arrowDownImage && gamelib::pauseImage &&
                gamelib::selectedImage)
        << "the shared menu images are in the data";
    for (const char16_t* key : {u"start", u"exit", u"yes", u"no", u"enable_sound", u"Lives"})
        EXPECT_FALSE(gamelib::getText(key)->equals(key)) << narrow(DStringPtr(key));
    EXPECT_EQ(3, gamelib::getTextInt(u"Lives", -1));
    step();
    EXPECT_GT(journal.mainPaints, 0);
}

} // namespace

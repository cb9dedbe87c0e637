// The language and sound questions of start-up, with the shell's real screens: keys, taps, the
// stores the sound answer writes, and what the questions look like.
#include "ShellScreensFixture.h"

#include "LangMenu/LangMenu.h"
#include "LangMenu/ShadedBackdrop.h"
#include "SoundMenu/SoundMenu.h"
#include "gamelib/GameMenu.h"
#include "gamelib/MainMenu.h"
#include "gamelib/TextTable.h"

#include <string>

using gamelib::GameMenu;
using langmenu::LangMenu;
using shelltest::kFontHeight;
using shelltest::rgb565;
using soundmenu::SoundMenu;

namespace {

class StartUpQuestions : public shelltest::ShellScreens
{
  protected:
    static int32_t level(const char16_t* name) { return GameMenu::loadOption(name, -7); }
    static void expectLevels(int32_t expected)
    {
        for (const char16_t* name :
             {u"tessarinesfx_level", u"tessarinemusic_level", u"mirrowfensfx_level",
              u"mirrowfenmusic_level", u"corvantinesfx_level", u"corvantinemusic_level"})
            EXPECT_EQ(expected, level(name)) << gamelibtest::ascii(name);
    }
    // Start-up on a screen of the given size (big graphics) up to the language question.
    LangMenu* askOnScreen(int w, int h)
    {
        shellArchive({{std::to_string(w) + "x" + std::to_string(h), "graphics=big\r\n"}});
        startDisplay(w, h);
        lib->startApp();
        step();
        return current<LangMenu>();
    }
};

TEST_F(StartUpQuestions, LanguageThenSoundThenTheMainMenuWithTheChosenTexts)
{
    startUp();
    ASSERT_TRUE(current<LangMenu>());
    EXPECT_EQ(2, gamelib::languageCount);
    step();
    EXPECT_EQ(0, gamelib::languageIndex) << "the first language is highlighted";
    press('8');
    EXPECT_EQ(1, gamelib::languageIndex);
    EXPECT_TRUE(current<LangMenu>()) << "moving does not confirm";
    press('5');
    ASSERT_TRUE(current<SoundMenu>());
    EXPECT_TRUE(gamelib::getText(u"start")->equals(u"Los")) << "the German texts are loaded";
    EXPECT_EQ(0, gamelib::soundAnswer) << "no is preselected";
    press('2');
    EXPECT_EQ(1, gamelib::soundAnswer);
    press('5');
    EXPECT_EQ(1, gamelib::soundAnswered);
    ASSERT_TRUE(current<gamelib::MainMenu>());
    expectLevels(1);
    EXPECT_TRUE(gamelib::getText(u"next")->equals(u"Weiter"));
    EXPECT_TRUE(lib->keepRunning());
}

TEST_F(StartUpQuestions, ConfirmingAtOnceSwitchesSoundOffForEveryGame)
{
    GameMenu::saveOption(u"corvantinesfx_level", 3);
    startUp();
    step();
    press('5');
    ASSERT_TRUE(current<SoundMenu>());
    press('5');
    ASSERT_TRUE(current<gamelib::MainMenu>());
    expectLevels(0);
    EXPECT_EQ(2, GameMenu::loadOption(u"othergamesfx_level", 2))
        << "a game outside the list keeps its default";
}

TEST_F(StartUpQuestions, ActionsFourteenAndFifteenMoveBothQuestionsAndWrap)
{
    startUp();
    step();
    press(-2);
    EXPECT_EQ(1, gamelib::languageIndex) << "up from the first language wraps to the last";
    press(-3);
    EXPECT_EQ(0, gamelib::languageIndex) << "down from the last wraps to the first";
    press(-3);
    press(-2);
    EXPECT_EQ(0, gamelib::languageIndex);
    press(10000);
    ASSERT_TRUE(current<SoundMenu>()) << "the left soft key confirms too";
    press(-3);
    press(-3);
    EXPECT_EQ(0, gamelib::soundAnswer) << "each press flips the answer";
    press(10000);
    expectLevels(0);
}

TEST_F(StartUpQuestions, ASingleLanguageIsChosenWithoutAsking)
{
    shellArchive({}, "English", "en");
    startDisplay(240, 320);
    lib->startApp();
    EXPECT_EQ(0, gamelib::languageIndex);
    EXPECT_TRUE(current<SoundMenu>());
}

TEST_F(StartUpQuestions, ListsOfDifferentLengthsChooseTheFirstLanguage)
{
    shellArchive({}, "English;Deutsch", "en");
    startDisplay(240, 320);
    lib->startApp();
    EXPECT_EQ(0, gamelib::languageIndex);
    EXPECT_TRUE(current<SoundMenu>());
}

TEST_F(StartUpQuestions, WithoutALanguageListStartUpGoesOnWithOneLanguage)
{
    startUp({{"txt/lang.txt", ""}});
    EXPECT_EQ(0, gamelib::languageIndex);
    EXPECT_EQ(1, gamelib::languageCount);
    EXPECT_TRUE(current<SoundMenu>());
    press('5');
    EXPECT_TRUE(current<gamelib::MainMenu>()) << "the missing texts of that language are skipped";
}

TEST_F(StartUpQuestions, ATapOnALanguageRowChoosesItInTheSameStep)
{
    startUp();
    step();
    auto* menu = current<LangMenu>();
    ASSERT_TRUE(menu);
    const int32_t x = menu->boxX + menu->boxWidth / 2;
    const int32_t secondRow = menu->boxY + menu->rowHeight + 1;
    tap(x, secondRow);
    EXPECT_TRUE(current<LangMenu>()) << "taps within 200 ms of the screen's start are ignored";
    platform::FakeClock::step(300);
    tap(x, secondRow);
    EXPECT_EQ(1, gamelib::languageIndex);
    EXPECT_TRUE(current<SoundMenu>());
}

TEST_F(StartUpQuestions, TapsOnTheSoundBoxQuestionRowDoNothingAndYesConfirms)
{
    startUp();
    step();
    press('5');
    auto* menu = current<SoundMenu>();
    ASSERT_TRUE(menu);
    platform::FakeClock::step(300);
    const int32_t x = menu->boxX + 10;
    tap(x, menu->boxY + 1);
    step();
    EXPECT_TRUE(current<SoundMenu>()) << "the question row is not an answer";
    EXPECT_EQ(0, gamelib::soundAnswer);
    platform::FakeClock::step(300);
    tap(x, menu->boxY + menu->rowHeight + 1);
    EXPECT_TRUE(current<gamelib::MainMenu>());
    expectLevels(1);
}

TEST_F(StartUpQuestions, TheOkLabelActsAsTheLeftSoftKey)
{
    startUp();
    step();
    platform::FakeClock::step(300);
    // "OK" is 12 pixels wide in the fixture's fonts and 10 high: x 5..17, y 305..315.
    tap(18, 310);
    EXPECT_TRUE(current<LangMenu>()) << "right of the label";
    tap(17, 304);
    EXPECT_TRUE(current<LangMenu>()) << "above the label";
    tap(17, 315);
    EXPECT_TRUE(current<SoundMenu>());
    EXPECT_TRUE(pixelIs(7, 320 - 14 + 5, shelltest::kGlyph)) << "the label is drawn";
}

TEST_F(StartUpQuestions, TheBoxBandIsDarkenedAndTheChosenRowHighlighted)
{
    startUp();
    step();
    auto* menu = current<LangMenu>();
    ASSERT_TRUE(menu);
    EXPECT_TRUE(pixelIs(10, 10, shelltest::kBackdrop)) << "outside the band the backdrop shows";
    const uint16_t band = windowPixel(120, 10);
    EXPECT_LT(band >> 11, rgb565(shelltest::kBackdrop) >> 11) << "the band is darker";
    EXPECT_GT(band >> 11, 0) << "but not black";
    const int32_t left = menu->boxX + 3;
    const int32_t row0 = menu->boxY + menu->rowHeight / 2;
    const int32_t row1 = row0 + menu->rowHeight;
    EXPECT_TRUE(pixelIs(left, row0, LangMenu::kHighlightColour));
    EXPECT_FALSE(pixelIs(left, row1, LangMenu::kHighlightColour));
    // "ENGLISH" (42 pixels) centred on the box, standing half the font height above the middle
    // of its row.
    EXPECT_TRUE(pixelIs(120 - 21 + 1, row0 - 3, shelltest::kGlyph));
    EXPECT_TRUE(pixelIs(120 - 21 - 1, row0 - 3, LangMenu::kHighlightColour));
    EXPECT_TRUE(pixelIs(120 - 21 + 1, row1 - 3, shelltest::kGlyph)) << "DEUTSCH, 42 too";
    press('8');
    EXPECT_TRUE(pixelIs(left, row1, LangMenu::kHighlightColour));
    EXPECT_FALSE(pixelIs(left, row0, LangMenu::kHighlightColour));
}

TEST_F(StartUpQuestions, OnATallScreenTheNamesSitTwoPixelsHigher)
{
    auto* menu = askOnScreen(240, 480);
    ASSERT_TRUE(menu);
    const int32_t middle = menu->boxY + menu->rowHeight / 2;
    const int32_t x = 120 - 21 + 1;
    EXPECT_TRUE(pixelIs(x, middle - 5 - 2, shelltest::kGlyph)) << "the glyph's top row";
    EXPECT_FALSE(pixelIs(x, middle - 5 - 3, shelltest::kGlyph));
    EXPECT_FALSE(pixelIs(x, middle + 3, shelltest::kGlyph)) << "ends two rows higher";
}

TEST_F(StartUpQuestions, TheSoundAnswerIsHighlightedUnderTheQuestion)
{
    startUp();
    step();
    press('5');
    auto* menu = current<SoundMenu>();
    ASSERT_TRUE(menu);
    step();
    const int32_t left = menu->boxX + 3;
    const int32_t yes = menu->boxY + menu->rowHeight + menu->rowHeight / 2;
    const int32_t no = yes + menu->rowHeight;
    EXPECT_TRUE(pixelIs(left, no, SoundMenu::kHighlightColour));
    EXPECT_FALSE(pixelIs(left, yes, SoundMenu::kHighlightColour));
    press('8');
    EXPECT_TRUE(pixelIs(left, yes, SoundMenu::kHighlightColour));
    EXPECT_FALSE(pixelIs(left, no, SoundMenu::kHighlightColour));
}

TEST_F(StartUpQuestions, OnALandscapeScreenTheBoxesStartAsFarDownAsTheyAreWide)
{
    // 212 pixels wide: both boxes start 14 pixels from the top of a 240-pixel-high screen.
    auto* languages = askOnScreen(320, 240);
    ASSERT_TRUE(languages);
    EXPECT_EQ(212, languages->boxWidth);
    EXPECT_EQ(14, languages->boxY);
    const int32_t left = languages->boxX + 3;
    EXPECT_TRUE(pixelIs(left, 14 + 1, LangMenu::kHighlightColour));
    EXPECT_FALSE(pixelIs(left, 14 - 1, LangMenu::kHighlightColour));
    EXPECT_FALSE(pixelIs(left, 14 + kFontHeight + 4 + 1, LangMenu::kHighlightColour));
    EXPECT_TRUE(pixelIs(160 - 21 + 1, 14 + (kFontHeight + 4) / 2 - 3, shelltest::kGlyph))
        << "ENGLISH in the first row";
    press('5');
    auto* sound = current<SoundMenu>();
    ASSERT_TRUE(sound);
    EXPECT_EQ(14, sound->boxY);
    step();
    const int32_t no = 14 + 2 * (kFontHeight + 4);
    EXPECT_TRUE(pixelIs(left, no + 1, SoundMenu::kHighlightColour));
    EXPECT_FALSE(pixelIs(left, no - 1, SoundMenu::kHighlightColour));
}

TEST_F(StartUpQuestions, ABoxThatWouldLeaveTheScreenIsCentredOnItsHeight)
{
    // 266 pixels wide on a screen 150 high: started as far down as it is wide it would begin
    // above the screen, so each box stands in the middle of the height.
    auto* languages = askOnScreen(400, 150);
    ASSERT_TRUE(languages);
    const int32_t top = (150 - 2 * (kFontHeight + 4)) / 2;
    EXPECT_EQ(top, languages->boxY);
    EXPECT_TRUE(pixelIs(languages->boxX + 3, top + 1, LangMenu::kHighlightColour));
    press('5');
    auto* sound = current<SoundMenu>();
    ASSERT_TRUE(sound);
    EXPECT_EQ((150 - 3 * (kFontHeight + 4)) / 2, sound->boxY);
}

TEST_F(StartUpQuestions, OnAPortraitScreenTheBoxStartsAsFarDownAsItIsWide)
{
    startUp();
    step();
    auto* languages = current<LangMenu>();
    ASSERT_TRUE(languages);
    EXPECT_EQ((320 - 160) / 2, languages->boxY);
}

TEST_F(StartUpQuestions, WithoutTheBackdropTheQuestionIsAskedOnBlack)
{
    startUp({{"graphics/common/menu/back.jpg", "not an image"}});
    step();
    ASSERT_TRUE(current<LangMenu>());
    EXPECT_TRUE(pixelIs(5, 5, 0));
    press('5');
    EXPECT_TRUE(current<SoundMenu>());
}

TEST(ShadedBackdrop, DarkensOrLightensOnlyTheBandAndClipsIt)
{
    // A surface needs no display here.
    auto picture = qev::microedition::lcdui::DImage::createImage(20, 4);
    auto g = picture->getGraphics();
    g->setColor(0x808080);
    g->fillRect(0, 0, 20, 4);
    auto dark = langmenu::drawShadedBackdrop(picture, -160, 5, 9);
    EXPECT_EQ(rgb565(0x808080), gamelibtest::pixelAt(dark, 4, 2));
    EXPECT_EQ(rgb565(0x808080), gamelibtest::pixelAt(dark, 10, 2));
    EXPECT_LT(gamelibtest::pixelAt(dark, 5, 0), rgb565(0x808080));
    EXPECT_EQ(gamelibtest::pixelAt(dark, 5, 3), gamelibtest::pixelAt(dark, 9, 0));
    auto light = langmenu::drawShadedBackdrop(picture, 100, -10, 40);
    EXPECT_GT(gamelibtest::pixelAt(light, 0, 0), rgb565(0x808080));
    EXPECT_GT(gamelibtest::pixelAt(light, 19, 3), rgb565(0x808080));
    EXPECT_EQ(rgb565(0x808080), gamelibtest::pixelAt(picture, 0, 0)) << "the source is kept";
}

} // namespace

// The help page of a game menu: reading and breaking the text at the page's width, picture
// lines, the 250-line limit, paging, scrolling by keys and taps, and the scroll bar's thumb.
#include "MenuOwnerFixture.h"

#include "gamelib/Animation.h"
#include "gamelib/ImageFont.h"
#include "gamelib/SpriteAtlas.h"
#include "microedition/lcdui/DeviceKeys.h"

using qev::microedition::lcdui::kKeySoftLeft;
using qev::microedition::lcdui::kKeySoftRight;

using gamelib::GameMenu;
using gamelibtest::ascii;
using namespace menutest;

namespace {

constexpr int32_t kFire = '5';
constexpr int32_t kUp = '2';
constexpr int32_t kDown = '8';
constexpr uint32_t kPictureColour = 0xFF8000;
// Page geometry: text from 12 + 12 to 320 - 9, lines 8 + 3 high, 26 of them; 35 characters
// of 5 pixels fit between the margins (240 - 2 * 30 - 4 = 176 pixels).
constexpr int kTop = 24;
constexpr int kBottom = 311;
constexpr int kLine = 11;
constexpr int kVisible = 26;
constexpr int kBarX = 235;

class HelpPageTest : public MenuOwnerTest
{
  protected:
    void open(const std::vector<std::string>& records, qev::lang::DObjectArrayPtr pictures = {})
    {
        startOwner({{"txt/testgame/en_help.txt", utf(records)},
                    {"graphics/common/help/pics.txt", "pic.png;0;0;20;30\r\n"},
                    {"graphics/common/help/pics.png", shelltest::png(20, 30, kPictureColour)}});
        setText(pictures);
    }
    void setText(qev::lang::DObjectArrayPtr pictures = {})
    {
        menu->setHelpText(u"/txt/testgame/en_help.txt", pictures);
        menu->state = GameMenu::STATE_TEXT;
        menu->closed = 0;
        steps(9);
    }
    static std::vector<std::string> numbered(int n)
    {
        std::vector<std::string> out;
        for (int i = 0; i < n; ++i)
            out.push_back("line " + std::to_string(i));
        return out;
    }
    // The page's line i as text ("<empty>" for an empty line, "<picture>" for a picture).
    static std::string line(int i)
    {
        qev::lang::DObjectPtr entry = (*GameMenu::helpLines)[i];
        if (!entry)
            return "<empty>";
        if (auto* text = dynamic_cast<qev::lang::DString*>(entry.get()))
            return ascii(qev::lang::DStringPtr(text));
        return dynamic_cast<gamelib::Animation*>(entry.get()) ? "<picture>" : "<other>";
    }
    bool textAt(int row) const { return pixelIs(36, kTop + row * kLine + 2, kSmallColour); }
    bool thumbAt(int y) const { return pixelIs(kBarX, y, 0xFFFFFF); }
    bool trackAt(int y) const { return pixelIs(kBarX, y, 0xCCCCCC); }
};

TEST_F(HelpPageTest, ParagraphsBreakAtTheLastSpaceThatFitsAndLongWordsAtTheLineLength)
{
    const std::string a35(35, 'a');
    open({a35 + " bb", "aaaaaaaaa bbbbbbbbb ccccccccc ddddddddd eeeee", std::string(40, 'w'), "",
          "x", "\r", "end"});
    EXPECT_EQ(35, GameMenu::helpLineChars);
    ASSERT_EQ(10, GameMenu::helpLineCount);
    EXPECT_EQ(a35, line(0)) << "35 characters fit the page's 176 pixels";
    EXPECT_EQ("bb", line(1));
    EXPECT_EQ("aaaaaaaaa bbbbbbbbb ccccccccc", line(2)) << "the space itself is dropped";
    EXPECT_EQ("ddddddddd eeeee", line(3));
    EXPECT_EQ(std::string(35, 'w'), line(4)) << "a word without space is cut";
    EXPECT_EQ("wwwww", line(5));
    EXPECT_EQ("", line(6)) << "a blank line";
    EXPECT_EQ("<empty>", line(7)) << "a line of one character is an empty line";
    EXPECT_EQ("<empty>", line(8)) << "a lone carriage return too";
    EXPECT_EQ("end", line(9));
    // On screen: the title, lines at the margin + 5, one line height each.
    EXPECT_TRUE(pixelIs(120, 6, kMenuSelColour)) << "the title";
    EXPECT_TRUE(textAt(0));
    EXPECT_TRUE(pixelIs(35 + 35 * 5 - 2, kTop + 2, kSmallColour));
    EXPECT_FALSE(pixelIs(35 + 35 * 5 + 2, kTop + 2, kSmallColour)) << "nothing beyond the width";
    EXPECT_FALSE(textAt(6));
    EXPECT_FALSE(textAt(7));
    EXPECT_FALSE(textAt(8));
    EXPECT_TRUE(textAt(9));
    EXPECT_TRUE(pixelIs(2, 316, kHudColour)) << "the quit label";
    EXPECT_TRUE(pixelIs(237, 316, kHudColour)) << "the down label";
}

TEST_F(HelpPageTest, AOneCharacterWordLeftByABreakStaysWhileAOneCharacterLineIsEmpty)
{
    const std::string a35(35, 'a');
    open({a35 + " b", "c", "end"});
    ASSERT_EQ(4, GameMenu::helpLineCount);
    EXPECT_EQ(a35, line(0));
    EXPECT_EQ("b", line(1)) << "the paragraph's last word";
    EXPECT_EQ("<empty>", line(2));
    EXPECT_EQ("end", line(3));
    EXPECT_TRUE(textAt(1));
    EXPECT_FALSE(textAt(2));
    EXPECT_TRUE(textAt(3));
}

TEST_F(HelpPageTest, ABreakRightBeforeALineFeedEndsTheParagraphThere)
{
    // 36 characters ending in a space: too wide only at the line feed, which the break at the
    // last space leaves as the next line's first character.
    const std::string first = std::string(20, 'a') + " " + std::string(14, 'b');
    open({first + " ", "next", "last"});
    ASSERT_EQ(3, GameMenu::helpLineCount);
    EXPECT_EQ(first, line(0));
    EXPECT_EQ("next", line(1)) << "the line feed is not lost into the next paragraph";
    EXPECT_EQ("last", line(2));
    EXPECT_TRUE(textAt(1));
    EXPECT_TRUE(textAt(2));
    EXPECT_FALSE(textAt(3));
}

TEST_F(HelpPageTest, PictureLinesShowTheirAnimationAndBadOnesAreEmpty)
{
    startOwner({{"txt/testgame/en_help.txt", utf({"above", "%0", "below", "%x", "%7", "%"})},
                {"graphics/common/help/pics.txt", "pic.png;0;0;20;30\r\n"},
                {"graphics/common/help/pics.png", shelltest::png(20, 30, kPictureColour)}});
    gamelib::loadAtlas(u"/help/pics");
    qev::lang::DObjectArrayPtr pictures = new qev::lang::DObjectArray(1);
    qev::lang::DStringArrayPtr names = new qev::lang::DStringArray(1);
    (*names)[0] = qev::lang::DStringPtr(u"pic.png");
    (*pictures)[0] = new gamelib::Animation(names);
    setText(pictures);
    ASSERT_EQ(6, GameMenu::helpLineCount);
    EXPECT_EQ("<picture>", line(1));
    EXPECT_EQ("<empty>", line(3)) << "not a number";
    EXPECT_EQ("<empty>", line(4)) << "outside the pictures";
    EXPECT_EQ("<empty>", line(5)) << "a lone percent sign is a line of one character";
    EXPECT_TRUE(pixelIs(2, kTop + kLine + 1, kPictureColour)) << "drawn at x = 2";
    EXPECT_TRUE(pixelIs(21, kTop + kLine + 29, kPictureColour));
    // The next line starts below the picture's height + 2.
    EXPECT_TRUE(pixelIs(36, kTop + kLine + 32 + 2, kSmallColour));
    EXPECT_FALSE(pixelIs(36, kTop + 2 * kLine + 2, kSmallColour));

    setText(nullptr);
    EXPECT_EQ("<empty>", line(1)) << "no pictures given";
    EXPECT_TRUE(textAt(2));
}

TEST_F(HelpPageTest, ATextOfMoreThan250LinesIsCut)
{
    open(numbered(300));
    EXPECT_EQ(GameMenu::kMaxHelpLines, GameMenu::helpLineCount);
    EXPECT_EQ("line 249", line(249));
}

TEST_F(HelpPageTest, PageDownStartsAtTheLastLineShownAndStopsAtTheEnd)
{
    open(numbered(60));
    EXPECT_EQ(kVisible, menu->visible);
    press(kFire);
    EXPECT_EQ(25, menu->first) << "the last line shown comes first";
    steps(8);
    press(kKeySoftRight);
    EXPECT_EQ(60 - kVisible, menu->first) << "never past count - visible";
    steps(8);
    press(kFire);
    EXPECT_EQ(60 - kVisible, menu->first);
    steps(8);
    menu->first = 0;
    step();
    tap(230, 316); // the down label
    EXPECT_EQ(25, menu->first);
    EXPECT_FALSE(menu->closed);
}

TEST_F(HelpPageTest, KeysAndTapsScrollOneLineAndAHeldKeyRepeatsEvery200Ms)
{
    open(numbered(60));
    gamelib::screenCanvas->keyPressed(kDown);
    steps(19); // held 475 ms: lines at 0, 225 and 450 ms
    gamelib::screenCanvas->keyReleased(kDown);
    step();
    EXPECT_EQ(3, menu->first);
    steps(8);
    press(kUp);
    EXPECT_EQ(2, menu->first);
    steps(8);
    tap(100, 200); // lower half of the text
    EXPECT_EQ(3, menu->first);
    tap(100, 10);  // the title: ignored, without restarting the gate
    tap(100, 100); // upper half, 50 ms later
    EXPECT_EQ(3, menu->first) << "still within 200 ms of the last scroll";
    steps(6);
    tap(100, 100);
    EXPECT_EQ(2, menu->first);
    steps(8);
    gamelib::screenCanvas->pointerPressed(100, 10);
    step();
    gamelib::screenCanvas->pointerReleased(100, 10);
    step();
    tap(100, 100);
    EXPECT_EQ(1, menu->first) << "a tap elsewhere left the gate open";
}

TEST_F(HelpPageTest, TheQuitLabelAndTheLeftSoftKeyClose)
{
    open(numbered(3));
    tap(25, 316);
    EXPECT_FALSE(menu->closed) << "right of the quit label";
    tap(5, 316);
    EXPECT_TRUE(menu->closed);
    menu->closed = 0;
    steps(8);
    press(kKeySoftLeft);
    EXPECT_TRUE(menu->closed);
}

TEST_F(HelpPageTest, ASmallFontWithoutGlyphsBreaksNothingAndDividesByNothing)
{
    open({std::string(100, 'a'), "b"});
    // A font whose files are missing: no height, no widths.
    (*gamelib::imageFonts)[gamelib::FONT_SMALL] = new gamelib::ImageFont();
    setText();
    EXPECT_EQ(176, GameMenu::helpLineChars) << "every character counts as fitting";
    ASSERT_EQ(2, GameMenu::helpLineCount);
    EXPECT_EQ(std::string(100, 'a'), line(0));
    EXPECT_EQ(3, GameMenu::helpLineHeight) << "lines of 0 + 3 pixels";
    EXPECT_EQ((kBottom - kTop) / 3, menu->visible);
    press(kDown);
    EXPECT_EQ(0, menu->first);
    EXPECT_TRUE(thumbAt(kTop + 5)) << "both lines fit: the thumb fills the track";
}

TEST_F(HelpPageTest, TheThumbFillsTheTrackWhenEveryLineFits)
{
    startOwner({});
    setText();
    EXPECT_EQ(0, GameMenu::helpLineCount) << "a missing text is an empty page";
    EXPECT_TRUE(thumbAt(kTop + 5));
    EXPECT_TRUE(thumbAt(kBottom - 5));
    press(kFire);
    press(kDown);
    EXPECT_EQ(0, menu->first);
}

TEST_F(HelpPageTest, TheThumbOfAFullPageFillsTheTrack)
{
    open(numbered(kVisible));
    EXPECT_TRUE(thumbAt(kTop + 5));
    EXPECT_TRUE(thumbAt(kBottom - 5));
    press(kDown);
    EXPECT_EQ(0, menu->first);
}

TEST_F(HelpPageTest, TheThumbShowsThePartShownAndWhereItIs)
{
    open(numbered(2 * kVisible));
    // Half the lines: a thumb of 287 / 2 = 143 pixels at the top of the track.
    EXPECT_TRUE(thumbAt(kTop + 5));
    EXPECT_TRUE(thumbAt(kTop + 140));
    EXPECT_TRUE(trackAt(kTop + 150));
    press(kFire);
    EXPECT_EQ(kVisible - 1, menu->first);
    steps(8);
    press(kDown);
    EXPECT_EQ(kVisible, menu->first);
    EXPECT_TRUE(trackAt(kTop + 140));
    EXPECT_TRUE(thumbAt(kTop + 150));
    EXPECT_TRUE(thumbAt(kBottom - 5));
}

} // namespace

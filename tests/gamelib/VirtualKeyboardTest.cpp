// The name-entry keyboard inside a game menu: layout and highlight on screen, cursor keys with
// their wrapping, fire, soft keys, Enter and Backspace, hardware letters, taps and the blinking
// cursor.
#include "MenuOwnerFixture.h"

#include "gamelib/GameStatics.h"
#include "gamelib/VirtualKeyboard.h"
#include "microedition/lcdui/DeviceKeys.h"

using qev::microedition::lcdui::kKeySoftLeft;
using qev::microedition::lcdui::kKeySoftRight;

using gamelib::GameMenu;
using gamelib::VirtualKeyboard;
using gamelibtest::ascii;
using namespace menutest;

namespace {

constexpr int32_t kFire = '5';
constexpr int32_t kUp = '2';
constexpr int32_t kDown = '8';
constexpr int32_t kLeft = '4';
constexpr int32_t kRight = '6';
// The frame (8 + 136 + 8 high) is centred: the grid starts below its top piece.
constexpr int kGridX = (240 - 126) / 2;
constexpr int kGridY = (320 - 152) / 2 + 8;
constexpr int kTextX = kGridX + 5;
constexpr int kTextY = (320 - 152) / 2 + 8 + 136 - kMenuHeight - 3;

class VirtualKeyboardTest : public MenuOwnerTest
{
  protected:
    void SetUp() override
    {
        startOwner();
        menu->startNameEntry();
        steps(9); // taps count 200 ms after the keyboard was made
    }
    std::string text() const { return ascii(VirtualKeyboard::shared()->text); }
    // A pixel inside the label of the key in column c, row r.
    static int labelX(int c) { return kGridX + c * 21 + 9; }
    static int labelY(int r) { return kGridY + r * 19 + 6; }
    bool highlighted(int c, int r) const { return pixelIs(labelX(c), labelY(r), kMenuSelColour); }
};

TEST_F(VirtualKeyboardTest, TheFramedGridShowsTheLettersAndHighlightsTheFirstKey)
{
    const gamelib::VirtualKeyboardPtr k = VirtualKeyboard::shared();
    EXPECT_EQ(5, k->rows);
    EXPECT_EQ(6, k->lastRowKeys) << "y, z, -, _, ok and <-";
    EXPECT_EQ(kGridY, k->y);
    EXPECT_EQ(kTextY, k->textY);
    EXPECT_TRUE(pixelIs(100, (320 - 152) / 2 + 2, kFrameColour)) << "the frame's top piece";
    EXPECT_TRUE(highlighted(0, 0));
    EXPECT_TRUE(pixelIs(labelX(1), labelY(0), kMenuColour)) << "b in the menu font";
    EXPECT_TRUE(pixelIs(labelX(5), labelY(4), kMenuColour)) << "<- in the last cell";
    EXPECT_TRUE(pixelIs(kGridX, kGridY + 5, 0x555555)) << "the cursor's outline";
    EXPECT_TRUE(pixelIs(5, 310, kMenuColour)) << "the ok label";
    EXPECT_TRUE(pixelIs(233, 310, kMenuColour)) << "the <- label";
    EXPECT_EQ("", text());
}

TEST_F(VirtualKeyboardTest, EveryMenuUsesTheOneKeyboardOfTheSharedData)
{
    ASSERT_TRUE(dynamic_cast<VirtualKeyboard*>(gamelib::nameKeyboard.get()))
        << "made with the shared data";
    EXPECT_EQ(gamelib::nameKeyboard.get(), VirtualKeyboard::shared().get());
    press(kDown);
    press(kRight);
    // Another game's menu: the highlight stays where the last entry left it.
    owner->menu = new GameMenu();
    menu = owner->menu.get();
    menu->startNameEntry();
    step();
    EXPECT_TRUE(highlighted(1, 1));
    EXPECT_EQ(gamelib::nameKeyboard.get(), VirtualKeyboard::shared().get());
}

TEST_F(VirtualKeyboardTest, CursorKeysWrapAndClampOnTheLastRow)
{
    press(kLeft);
    EXPECT_TRUE(highlighted(5, 0)) << "left from a wraps to f";
    press(kRight);
    EXPECT_TRUE(highlighted(0, 0));
    press(kLeft);
    press(kUp);
    EXPECT_TRUE(highlighted(5, 4)) << "up from f lands on <-";
    press(kDown);
    EXPECT_TRUE(highlighted(5, 0)) << "down from the last row wraps to the first";
    press(kFire);
    EXPECT_EQ("f", text());
    EXPECT_TRUE(pixelIs(kTextX + 2, kTextY + 3, kMenuColour)) << "the typed name";
}

TEST_F(VirtualKeyboardTest, FireTypesAndTheOkAndDeleteKeysAct)
{
    press(kFire);
    press(kRight);
    press(kFire);
    EXPECT_EQ("ab", text());
    // To "<-" (up from f) and delete.
    press(kRight);
    press(kRight);
    press(kRight);
    press(kRight);
    press(kUp);
    press(kFire);
    EXPECT_EQ("a", text());
    // "ok" is left of "<-".
    press(kLeft);
    press(kFire);
    EXPECT_TRUE(GameMenu::nameReady);
    EXPECT_EQ("a", ascii(GameMenu::enteredName));
}

TEST_F(VirtualKeyboardTest, AnEmptyNameCannotBeFinished)
{
    press(kKeySoftLeft);
    tap(10, 310);
    press(kUp);
    press(kLeft);
    press(kFire); // "ok"
    EXPECT_FALSE(GameMenu::nameReady);
    EXPECT_FALSE(VirtualKeyboard::shared()->done);
    press(kKeySoftRight);
    EXPECT_EQ("", text());
}

TEST_F(VirtualKeyboardTest, HardwareLettersTypeUpToNineCharacters)
{
    press('A');
    EXPECT_EQ("a", text()) << "the hardware key A types a";
    for (int i = 0; i < 9; ++i)
        press('B' + i);
    EXPECT_EQ("abcdefghi", text()) << "the tenth letter is refused";
    press(8); // Backspace
    EXPECT_EQ("abcdefgh", text());
    press(kKeySoftRight);
    EXPECT_EQ("abcdefg", text());
    press(13); // Enter is fire too: it types the highlighted key
    EXPECT_EQ("abcdefga", text());
    EXPECT_FALSE(GameMenu::nameReady);
    press(kKeySoftLeft);
    EXPECT_TRUE(GameMenu::nameReady);
    EXPECT_EQ("abcdefga", ascii(GameMenu::enteredName));
}

TEST_F(VirtualKeyboardTest, TapsTypeTheKeyOnceWithin200MsAndTheLabelsActBelow)
{
    tap(labelX(2), labelY(0));
    EXPECT_EQ("c", text());
    EXPECT_TRUE(highlighted(2, 0));
    steps(4);
    tap(labelX(2), labelY(0)); // 150 ms after the first
    EXPECT_EQ("c", text());
    steps(2);
    tap(labelX(3), labelY(1));
    EXPECT_EQ("cj", text());
    steps(8);
    tap(kGridX + 126, labelY(1));
    EXPECT_EQ("cj", text()) << "right of the grid";
    tap(230, 310);
    EXPECT_EQ("c", text()) << "the <- label deletes";
    tap(10, 316);
    EXPECT_FALSE(GameMenu::nameReady) << "below the label's band";
    tap(10, 310);
    EXPECT_TRUE(GameMenu::nameReady) << "the ok label finishes";
    EXPECT_EQ("c", ascii(GameMenu::enteredName));
}

TEST_F(VirtualKeyboardTest, TheCursorBlinksAfterEveryHalfSecond)
{
    press(kFire);
    std::vector<int> toggles;
    bool last = pixelIs(kTextX + 6 + 3, kTextY + kMenuHeight, 0x555555);
    for (int i = 0; i < 80; ++i) {
        step();
        const bool on = pixelIs(kTextX + 6 + 3, kTextY + kMenuHeight, 0x555555);
        if (on != last)
            toggles.push_back(i);
        last = on;
    }
    ASSERT_GE(toggles.size(), 3u);
    EXPECT_EQ(21, toggles[1] - toggles[0]) << "a toggle after more than 500 ms: 525 ms";
    EXPECT_EQ(21, toggles[2] - toggles[1]);
}

} // namespace

namespace {

TEST_F(MenuOwnerTest, AKeyboardFramePieceMissingFromTheSetIsLeftOut)
{
    startOwner({{"graphics/common/input/input_top.png", kRemove}});
    menu->startNameEntry();
    steps(2);
    // The grid moves up to where the top piece would have ended: the frame is 144 high.
    const int gridY = (320 - 144) / 2;
    EXPECT_EQ(gridY, VirtualKeyboard::shared()->y);
    EXPECT_TRUE(pixelIs(kGridX + 9, gridY + 6, kMenuSelColour)) << "the highlighted a";
    press('B');
    press(kKeySoftLeft);
    EXPECT_TRUE(GameMenu::nameReady);
    EXPECT_EQ("b", ascii(GameMenu::enteredName));
}

} // namespace

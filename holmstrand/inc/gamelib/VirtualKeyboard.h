// The on-screen letter keyboard on which a player types a highscore name. One instance serves
// every game menu; the menu's name entry sets it up and drives its update and paint until it
// reports done. It takes the cursor keys, fire, the soft keys, a hardware keyboard's letters,
// Enter and Backspace, and the stylus.
#pragma once

#include "gamelib/GameInterface.h"

#include "lang/DString.h"
#include "microedition/lcdui/DFont.h"
#include "microedition/lcdui/DImage.h"

#include <cstdint>

namespace gamelib {

class VirtualKeyboard;
using VirtualKeyboardPtr = qev::lang::DPtr<VirtualKeyboard>;

class VirtualKeyboard : public GameInterface
{
  public:
    static constexpr int32_t kKeyWidth = 21;
    static constexpr int32_t kKeyHeight = 19;
    static constexpr int32_t kColumns = 6;
    static constexpr int32_t kMaxLength = 9;
    static constexpr int64_t kBlinkMillis = 500;
    static constexpr int64_t kTapGateMillis = 200;

    // Empty text, at most 9 characters, in its frame; the name entry sets the fonts.
    VirtualKeyboard();
    const char* getClassName() override { return "VirtualKeyboard"; }

    // The keyboard of the shell's shared data, made when there is none yet.
    static VirtualKeyboardPtr shared();

    // Composes the framed keyboard over the background (may be null) into a screen-size picture
    // and lays out the grid; the player is not done any more.
    void buildPicture(qev::microedition::lcdui::DImagePtr background);
    void update() override;
    void paint() override;
    // A tap on a key types it as fire would; the labels below finish or delete.
    void hitTest();

    // Index of the "ok" and "<-" keys.
    int32_t okKey() const { return letters->length(); }
    int32_t backKey() const { return letters->length() + 1; }

    qev::lang::DStringPtr letters = u"abcdefghijklmnopqrstuvwxyz-_";
    qev::lang::DStringPtr text = u"";
    int32_t maxLength = kMaxLength;
    int32_t columns = kColumns;
    int32_t keyWidth = kKeyWidth;
    int32_t keyHeight = kKeyHeight;
    int32_t x = 0;
    // 0 until the first picture lays them out.
    int32_t y = 0;
    int32_t textX = 0;
    int32_t textY = 0;
    int32_t width = 0;
    int32_t height = 0;
    int32_t rows = 0;
    int32_t lastRowKeys = 0;
    int32_t key = 0;
    int32_t column = 0;
    int32_t row = 0;
    int32_t cursorColour = 0x555555;
    int32_t letterColour = 0x000000;
    qev::lang::DStringPtr title = u"";
    qev::microedition::lcdui::DFontPtr font;
    qev::microedition::lcdui::DFontPtr boldFont;
    qev::microedition::lcdui::DImagePtr picture;
    bool framed = true;
    bool done = false;
    bool blink = false;
    int64_t blinkTime = 0;
    int64_t lastTapTime;

  private:
    qev::lang::DStringPtr keyLabel(int32_t index) const;
    // The label of key index in its cell, placed by the menu font's measures.
    void drawKeyLabel(qev::microedition::lcdui::DGraphicsPtr g, int32_t index, int32_t fontIndex);
    void finish();
    void deleteLast();
    void type(qev::lang::DStringPtr letter);
    bool typeDirectly();
    void navigate();
    int32_t lastColumnOf(int32_t r) const { return r == rows - 1 ? lastRowKeys - 1 : columns - 1; }
};

} // namespace gamelib

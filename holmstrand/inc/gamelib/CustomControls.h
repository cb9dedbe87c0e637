// A game's key-redefinition dialog and the owner of its key table: two key codes per configurable
// action, kept in the record store "keys_" + game (record k: the keys of the k-th configurable
// action, big-endian ints, -1 for an empty cell). The game applies the table to the canvas key
// map; the dialog edits the very arrays the game applied. It is no screen of its own: the game
// calls update and paint while it shows.
#pragma once

#include "lang/DObjectArray.h"
#include "lang/DString.h"
#include "lang/DintArray.h"
#include "microedition/lcdui/DCanvas.h"
#include "microedition/lcdui/DFont.h"
#include "microedition/lcdui/DGraphics.h"
#include "microedition/lcdui/DImage.h"
#include "util/DVector.h"

#include <cstdint>

namespace gamelib {

class CustomControls;
using CustomControlsPtr = qev::lang::DPtr<CustomControls>;

// A key as the dialog names it: the loaded language texts name the keys a player knows by
// another name ("keyname_" and the key code, such as the action key as Enter); any other key
// keeps the canvas's name.
qev::lang::DStringPtr keyLabel(int32_t keyCode);

class CustomControls : public qev::lang::DObject
{
  public:
    static constexpr int32_t kActions = 16;
    static constexpr int64_t kGateMillis = 200;
    // What update tells the game.
    enum Result : int32_t { KEEP_SHOWING = 0, CONFIRMED = 1, CANCELLED = 2 };

    // The games' masks: left, right and fire; and up (thrust) besides.
    static constexpr int32_t kSteerAndFireMask = 1 << qev::microedition::lcdui::DCanvas::LEFT |
                                                 1 << qev::microedition::lcdui::DCanvas::RIGHT |
                                                 1 << qev::microedition::lcdui::DCanvas::FIRE;
    static constexpr int32_t kThrustSteerAndFireMask =
        kSteerAndFireMask | 1 << qev::microedition::lcdui::DCanvas::UP;

    // Bit i of mask set: action i (0..15) can be configured.
    explicit CustomControls(int32_t mask);
    const char* getClassName() override { return "CustomControls"; }

    // Names the store after the game, reads the action names and lays out the dialog.
    void init(qev::lang::DStringPtr game);
    // The stored keys, or the canvas's default keys when there are none or they cannot be
    // read. Returns the table (16 entries, null for actions that cannot be configured).
    qev::lang::DObjectArrayPtr loadKeys();
    void saveKeys();
    void setDefaultKeys();
    int32_t update();
    void paint(qev::microedition::lcdui::DGraphicsPtr g);
    void handlePointer();

    // Number of selectable rows - 1: "cancel" or, with the buttons hidden, "set_default".
    int32_t lastIndex() const { return buttonsHidden ? count : count + 2; }
    // The action of action row r.
    int32_t actionOfRow(int32_t r) const;

    int32_t mask;
    qev::lang::DStringPtr storeName;
    int32_t keysPerAction = 2;
    qev::lang::DObjectArrayPtr keys;
    int32_t count = 0;
    qev::util::DVectorPtr actionNames;
    int32_t row = 0;
    int32_t column = 0;
    int32_t previousRow = -1;
    int32_t previousColumn = -1;
    bool capturing = false;
    bool buttonsHidden = false;
    bool duplicatesAllowed = false;
    int32_t boxX = 10;
    int32_t boxY = 10;
    int32_t boxWidth = 0;
    int32_t boxHeight = 0;
    int32_t labelWidth = 0;
    int32_t columnWidth = 0;
    int32_t rowHeight = 0;
    int32_t listHeight = 0;
    int32_t highlightColour = 0x999999;
    int32_t gridColour = 0x96A3C8;
    int32_t textColour = 0x000000;
    qev::microedition::lcdui::DFontPtr dialogFont;
    qev::lang::DStringPtr setDefaultLabel;
    qev::lang::DStringPtr okLabel;
    qev::lang::DStringPtr cancelLabel;
    qev::microedition::lcdui::DImagePtr background;
    int64_t lastActionTime = 0;
    int64_t lastTapTime = 0;

  private:
    int32_t updateCapturing();
    void bind(int32_t code);
    qev::lang::DintArrayPtr keysOf(int32_t action) const;
};

} // namespace gamelib

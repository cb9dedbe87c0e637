// The in-game menu that every mini-game owns. One object serves four views: the item list, the
// highscore table, the scrolled help page and the name entry on the on-screen keyboard. It is no
// screen of its own: the owning game calls update and paint while its menu shows, reads chosen,
// closed and selected afterwards, and switches the view through state. The class also carries
// the static helpers that the games and the shell share: option records, the loading bar, the
// shading of background pictures, the level texts and the shared menu images.
#pragma once

#include "gamelib/GameImage.h"

#include "lang/DObjectArray.h"
#include "lang/DString.h"
#include "lang/DStringArray.h"
#include "lang/DintArray.h"
#include "microedition/lcdui/DFont.h"
#include "microedition/lcdui/DImage.h"

#include <cstdint>

namespace gamelib {

class GameMenu;
using GameMenuPtr = qev::lang::DPtr<GameMenu>;

class GameMenu : public qev::lang::DObject
{
  public:
    // The items every game's menu begins with, in this order; each game adds its own after them.
    enum GameItem : int32_t {
        ITEM_START = 0,
        ITEM_CONTINUE = 1,
        ITEM_GALLERY = 2,
        ITEM_HIGHSCORES = 3,
        ITEM_HELP = 4,
        ITEM_SFX = 5,
        ITEM_MUSIC = 6
    };
    enum State : int32_t {
        STATE_RESIZE = 0,
        STATE_LIST = 1,
        STATE_HIGHSCORES = 2,
        STATE_TEXT = 3,
        STATE_NAME_ENTRY = 4
    };
    // A held key repeats its action at this interval; quicker presses are ignored.
    static constexpr int64_t kGateMillis = 200;
    static constexpr int32_t kDefaultHighscores = 8;
    // The help page keeps at most this many lines.
    static constexpr int32_t kMaxHelpLines = 250;

    GameMenu();
    const char* getClassName() override { return "GameMenu"; }

    // The item texts of the list view (the game also resets selected, first and state).
    void setItems(qev::lang::DStringArrayPtr items) { lines = items; }

    // Highscores: names and scores, index 0 the best, kept in the store prefix + "hs" + n.
    virtual void setHighscores(qev::lang::DStringArrayPtr names, qev::lang::DintArrayPtr scores);
    // Places the score above the first lower one; the last entry drops out. An equal score goes
    // below the existing one; a score no greater than any entry changes nothing.
    virtual void insertHighscore(qev::lang::DStringPtr name, int32_t score);
    virtual void paint();
    virtual void update();
    virtual void releaseTitleImage() { title = nullptr; }
    // Reads the table; a missing store gives the default table, which is written at once. A
    // damaged record keeps the entries read and fills the rest with default entries; a count of
    // 0 gives the default table. Neither is written back until the next save.
    virtual void loadHighscores(int32_t n, qev::lang::DStringPtr prefix);
    virtual void saveHighscores(int32_t n, qev::lang::DStringPtr prefix);
    // Moves a table kept under an earlier table number to table n: when the store of table n
    // does not exist yet and that of table `from` holds a table, its record is copied over
    // unchanged. The earlier store is left as it is.
    static void takeOverHighscores(int32_t n, int32_t from, qev::lang::DStringPtr prefix);
    // Reads the help text (UTF records, one per line) and breaks it into lines of the page;
    // "%k" lines stand for pictures[k]. pictures may be null when the text has no pictures.
    virtual void setHelpText(qev::lang::DStringPtr resource, qev::lang::DObjectArrayPtr pictures);
    virtual void paintHelp();

    // True when some entry scores lower; false without a table.
    bool isHighscore(int32_t score) const;
    // Switches to the name entry on the shared keyboard, preset to the name entered last.
    void startNameEntry();
    // The games' shade levels: their menu (the only level that halves the margin), their
    // highscore table and key dialog, and the pictures behind their play fields.
    static constexpr int32_t kShadeMenu = -161;
    static constexpr int32_t kShadeDialog = -160;
    static constexpr int32_t kShadePlayField = -180;
    // Lays the picture behind the list, shaded between the margins (kShadeMenu halves the
    // margin first); the framed box is then left out.
    void setBackground(qev::microedition::lcdui::DImagePtr picture, int32_t level);

    // Number of rows of the current view: items, highscores or help lines.
    int32_t count() const;

    // A copy of source whose columns from..to are lightened (level > 0) or darkened (level < 0)
    // by |level| / 255.
    static qev::microedition::lcdui::DImagePtr
    createShadeImage(qev::microedition::lcdui::DImagePtr source, int32_t level, int32_t from,
                     int32_t to);
    // Pictures of a smaller graphics set (176x220 shows the 176x208 set) leave a border of the
    // screen uncovered: unless the picture covers the whole screen, the screen is filled black
    // first, so nothing of the previous screen shows around it.
    static void clearAround(qev::microedition::lcdui::DGraphics& g,
                            const qev::microedition::lcdui::DImagePtr& picture);
    // left < pointer x < right and top < pointer y < bottom.
    static bool isPointerInside(int32_t left, int32_t top, int32_t right, int32_t bottom);
    // Text keys and texts of the effect and music levels 0..3 (empty for other levels).
    static qev::lang::DStringPtr getSfxLevelKey(int32_t level);
    static qev::lang::DStringPtr getMusicLevelKey(int32_t level);
    static qev::lang::DStringPtr getSfxLevelText(int32_t level);
    static qev::lang::DStringPtr getMusicLevelText(int32_t level);
    // A game menu's effects or music item chosen: the next level (0 after 3 and after an
    // unknown level) is applied to the sound bank and saved as the option `option`; returns
    // the new level's text for the item.
    static qev::lang::DStringPtr advanceSfxLevel(qev::lang::DStringPtr option);
    static qev::lang::DStringPtr advanceMusicLevel(qev::lang::DStringPtr option);

    // Options: one integer per record store "op_" + name, as record 1 of 4 big-endian bytes.
    // A save that fails changes nothing; a load that fails gives the default.
    static void saveOption(qev::lang::DStringPtr name, int32_t value);
    // Creates the empty store when the option was never written.
    static int32_t loadOption(qev::lang::DStringPtr name, int32_t defaultValue);

    // The loading bar: stores its place and colours and paints it (advanced by one step).
    static void setProgressBar(int32_t y, int32_t value, int32_t step, int32_t frameColour,
                               int32_t fillColour);
    // Advances the bar by its step (kept within 0..100) and draws it on the screen graphics.
    static void paintProgressBar();
    static int32_t progressValue();

    // Loads the arrow, pause and selection images that are not loaded yet; missing ones stay
    // null.
    static void loadMenuImages();
    // When the menus last acted on input (0 or less: not set).
    static int64_t lastActionTime;

    // Name entry, shared by all menus: the keyboard finished, and the name it gave.
    static uint8_t nameReady;
    static qev::lang::DStringPtr enteredName;

    // The help page, shared by all menus (one page exists at a time): its lines (null an empty
    // line, a DString a text line, an Animation a picture), their number, and the geometry.
    static qev::lang::DObjectArrayPtr helpLines;
    static int32_t helpLineCount;
    static int32_t helpLineHeight;
    static int32_t helpTop;
    static int32_t helpBottom;
    static int32_t helpLineChars;
    // Drops the help page's lines (the games' data is released with the shell's).
    static void releaseHelp();

    static constexpr int32_t kProgressWidth = 108;
    static constexpr int32_t kProgressHeight = 10;

    qev::lang::DStringArrayPtr lines;
    qev::lang::DintArrayPtr scores;
    int32_t backgroundColour = 0xF6B708;
    int32_t state = STATE_LIST;
    GameImagePtr title;
    qev::microedition::lcdui::DImagePtr background;
    int32_t margin;
    int32_t top = 25;
    int32_t height;
    int32_t border = 2;
    uint8_t box = 1;
    int32_t itemColour = 0xFFFFFF;
    int32_t frameColour = 0x000000;
    int32_t boxColour = 0xFFFFFF;
    int32_t scoreColour = 0x000000;
    int32_t selected = 0;
    int32_t lineStep = 18;
    int32_t first = 0;
    int32_t visible = 0;
    qev::microedition::lcdui::DFontPtr font;
    uint8_t chosen = 0;
    uint8_t closed = 0;
    int32_t lastShown = 0;

  private:
    // Top of the first row.
    int32_t rowTop(int32_t row) const { return border + top + 4 + row * lineStep; }
    void paintList();
    void paintNameEntry();
    void paintBackdrop(int32_t fillColour);
    void moveUp();
    void moveDown();
    void pageDown();
    void tapList();
    void updateNameEntry();
    // The pointer on the help page; false when the tap hit nothing.
    bool tapHelp();
    void defaultHighscores();
};

} // namespace gamelib

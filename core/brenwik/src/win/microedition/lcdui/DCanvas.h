// A displayable with an off-screen RGB565 image the size of the display, the input events of
// the host, and the translation of key codes into game actions (a default table, replaceable
// per action and per key set).
#pragma once

#include "lang/DObjectArray.h"
#include "lang/DString.h"
#include "lang/DintArray.h"
#include "microedition/lcdui/DDisplayable.h"
#include "util/DHashtable.h"

#include <memory>

class ImageHolder;

namespace qev::microedition::lcdui {

class DGraphics;

class DCanvas : public DDisplayable
{
  public:
    // Game actions.
    static constexpr int32_t UP = 0;
    static constexpr int32_t DOWN = 1;
    static constexpr int32_t LEFT = 2;
    static constexpr int32_t RIGHT = 3;
    static constexpr int32_t FIRE = 4;
    static constexpr int32_t GAME_A = 5; // '1'
    static constexpr int32_t GAME_B = 6; // '3'
    static constexpr int32_t GAME_C = 7; // '7'
    static constexpr int32_t GAME_D = 8; // '9'
    static constexpr int32_t SOFT_LEFT = 9;
    static constexpr int32_t SOFT_RIGHT = 10;
    static constexpr int32_t STAR = 11;
    static constexpr int32_t POUND = 12;
    static constexpr int32_t kActionCount = 16;

    // The size is the global MIDlet's display's (NullPointerException without either).
    DCanvas();
    ~DCanvas() override;

    virtual void pointerPressed(int32_t x, int32_t y);
    virtual void pointerReleased(int32_t x, int32_t y);
    virtual void keyPressed(int32_t keyCode);
    virtual void keyReleased(int32_t keyCode);
    virtual void keyRepeated(int32_t keyCode);
    virtual void paint(qev::lang::DPtr<DGraphics> g);
    virtual void pointerDragged(int32_t x, int32_t y);

    // The action of a key, or -1.
    int32_t getGameAction(int32_t keyCode);
    // Up to `count` default keys of an action (-1: all of them), unused entries -1; null for
    // an action above 15 or a count of 0. Overrides are not consulted.
    qev::lang::DintArrayPtr getKeys(int32_t action, int32_t count);
    // Replaces the keys of the actions whose element is set (a DintArray) for a key set; a null
    // array removes the key set. Takes effect at once for the current key set.
    void setKeyMapping(int32_t keySet, qev::lang::DObjectArrayPtr keysByAction);
    void rebuildKeyMap(int32_t keySet);
    int32_t getKeySet() const { return m_keySet; }
    qev::lang::DStringPtr getKeyName(int32_t keyCode);

    // The off-screen image, drawn into by the game and copied to the screen on a flush.
    ImageHolder* getImage() const { return m_image.get(); }

  private:
    std::unique_ptr<ImageHolder> m_image;
    qev::util::DHashtablePtr m_keyMap;
    qev::util::DHashtablePtr m_overrides;
    int32_t m_keySet = -1;
};

using DCanvasPtr = qev::lang::DPtr<DCanvas>;

} // namespace qev::microedition::lcdui

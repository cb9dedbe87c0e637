// The game's menu while the shared game menu is not part of the library: an item list chosen
// with up, down and fire (or a tap on a line), and a page (help or highscores) that any key
// leaves. Its fields carry the names the game reads after each update.
#pragma once

#include "lang/DStringArray.h"
#include "microedition/lcdui/DImage.h"

#include <cstdint>

namespace corvantine {

class ItemMenu : public qev::lang::DObject
{
  public:
    enum View : int32_t { LIST = 1, TABLE = 2, PAGE = 3 };

    const char* getClassName() override { return "ItemMenu"; }
    void setItems(qev::lang::DStringArrayPtr items) { lines = items; }
    void update();
    void paint();

    qev::lang::DStringArrayPtr lines;
    qev::microedition::lcdui::DImagePtr background;
    int32_t state = LIST;
    int32_t selected = 0;
    bool chosen = false;
    bool closed = false;
    static constexpr int32_t kLineStep = 22;
    static constexpr int32_t kTop = 60;
};

using ItemMenuPtr = qev::lang::DPtr<ItemMenu>;

} // namespace corvantine

// The space-rock game's own menu view: an item list chosen with up, down and fire (a held key
// repeats every 200 ms) and a one-line page (help, highscores) left with fire or a soft key,
// drawn over the game's shaded splash.
#pragma once

#include "lang/DStringArray.h"
#include "microedition/lcdui/DImage.h"

#include <cstdint>

namespace mirrowfen {

class MirrowfenMenu : public qev::lang::DObject
{
  public:
    enum Mode : int32_t { MODE_LIST = 1, MODE_PAGE = 3 };
    static constexpr int64_t kRepeatMillis = 200;
    static constexpr int32_t kFirstRowTop = 31;
    static constexpr int32_t kLineStep = 18;
    static constexpr int32_t kBackgroundColour = 0x101830;

    const char* getClassName() override { return "MirrowfenMenu"; }

    // Shows the items as a list, the first one selected.
    void setItems(qev::lang::DStringArrayPtr list);
    // Shows one centred line of text until it is left.
    void setPage(qev::lang::DStringPtr text);
    void update();
    void paint();

    qev::lang::DStringArrayPtr items;
    qev::lang::DStringPtr page;
    qev::microedition::lcdui::DImagePtr background;
    int32_t mode = MODE_LIST;
    int32_t selected = 0;
    // Set for one update when an item was chosen.
    bool chosen = false;
    // Set when the page asks to be left; the game clears it.
    bool back = false;
    int64_t lastAction = 0;
};

using MirrowfenMenuPtr = qev::lang::DPtr<MirrowfenMenu>;

} // namespace mirrowfen

// The start-up question for the language of the texts: a box with one row per language over the
// darkened backdrop. Confirming continues the start-up with the chosen language.
#pragma once

#include "gamelib/QuestionScreen.h"

#include "lang/DString.h"
#include "microedition/lcdui/DGraphics.h"

#include <cstdint>

namespace langmenu {

class LangMenu : public gamelib::QuestionScreen
{
  public:
    // No language chosen.
    LangMenu();
    const char* getClassName() override { return "LangMenu"; }

    // Reads the language list; a list of one language (or lists of different lengths) chooses
    // language 0 at once.
    void start() override;
    void update() override;
    void paint() override;
    // Drops the backdrop, the label and the language lists.
    void stop() override;
    virtual void paintOn(qev::microedition::lcdui::DGraphicsPtr g);

    int32_t listHeight = 0;

  private:
    bool chooseRow(int32_t row) override;
    void readLanguages();
};

} // namespace langmenu

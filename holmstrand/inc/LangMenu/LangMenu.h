// The start-up question for the language of the texts: a box with one row per language over the
// darkened backdrop. Confirming continues the start-up with the chosen language.
#pragma once

#include "gamelib/GameInterface.h"

#include "lang/DString.h"
#include "microedition/lcdui/DGraphics.h"
#include "microedition/lcdui/DImage.h"

#include <cstdint>

namespace langmenu {

class LangMenu : public gamelib::GameInterface
{
  public:
    static constexpr int32_t kShadeLevel = -160;
    static constexpr int32_t kTextColour = 0x000000;
    static constexpr int32_t kHighlightColour = 0x7381A9;
    static constexpr int32_t kOkColour = 0xCCCCCC;

    // Top of a start-up question's box: as far down as the box is wide, which on a portrait or
    // square screen puts it below the backdrop's title. On a landscape screen that would lay the
    // box over the title, so there the box is centred on its own height.
    static int32_t boxTop(int32_t boxWidth, int32_t boxHeight);
    // Taps closer together than this are ignored.
    static constexpr int64_t kTapGateMillis = 200;

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

    int32_t boxWidth = 0;
    int32_t rowHeight = 0;
    int32_t listHeight = 0;
    int32_t boxX = 0;
    int32_t boxY = 0;
    int64_t lastActionTime = 0;

  private:
    void handlePointer();
    void readLanguages();

    qev::microedition::lcdui::DImagePtr m_background;
    qev::lang::DStringPtr m_okLabel;
};

} // namespace langmenu

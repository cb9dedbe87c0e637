// The start-up question whether to enable sound: "yes" and "no" under the question, "no"
// preselected. The answer becomes the effects and music level of every game (1 or 0), then the
// start-up goes on.
#pragma once

#include "gamelib/GameInterface.h"

#include "lang/DStringArray.h"
#include "microedition/lcdui/DGraphics.h"
#include "microedition/lcdui/DImage.h"

#include <cstdint>

namespace soundmenu {

class SoundMenu : public gamelib::GameInterface
{
  public:
    static constexpr int32_t kTextColour = 0x000000;
    static constexpr int32_t kHighlightColour = 0x7381A9;
    static constexpr int32_t kOkColour = 0xCCCCCC;
    static constexpr int64_t kTapGateMillis = 200;

    // Not answered yet.
    SoundMenu();
    const char* getClassName() override { return "SoundMenu"; }

    using gamelib::GameInterface::start;
    // Sets the question up for the games whose option names begin with the prefixes.
    virtual void start(qev::lang::DStringArrayPtr prefixes);
    void update() override;
    void paint() override;
    void stop() override;
    virtual void paintOn(qev::microedition::lcdui::DGraphicsPtr g);

    // Both levels of every game: 1 (low) for yes, 0 (off) for no.
    void saveAnswer();

    int32_t boxWidth = 0;
    int32_t boxHeight = 0;
    int32_t rowHeight = 0;
    int32_t boxX = 0;
    int32_t boxY = 0;
    int64_t lastActionTime = 0;

  private:
    void handlePointer();

    qev::lang::DStringArrayPtr m_prefixes;
    qev::lang::DStringPtr m_question;
    qev::lang::DStringPtr m_yes;
    qev::lang::DStringPtr m_no;
    qev::microedition::lcdui::DImagePtr m_background;
    qev::lang::DStringPtr m_okLabel;
};

} // namespace soundmenu

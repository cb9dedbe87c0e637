// The start-up question whether to enable sound: "yes" and "no" under the question, "no"
// preselected. The answer becomes the effects and music level of every game (1 or 0), then the
// start-up goes on.
#pragma once

#include "gamelib/QuestionScreen.h"

#include "lang/DStringArray.h"
#include "microedition/lcdui/DGraphics.h"

#include <cstdint>

namespace soundmenu {

class SoundMenu : public gamelib::QuestionScreen
{
  public:
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

    int32_t boxHeight = 0;

  private:
    bool chooseRow(int32_t row) override;

    qev::lang::DStringArrayPtr m_prefixes;
    qev::lang::DStringPtr m_question;
    qev::lang::DStringPtr m_yes;
    qev::lang::DStringPtr m_no;
};

} // namespace soundmenu

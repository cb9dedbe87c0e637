// What the start-up questions (language, sound) share: a box of menu-font rows in the middle of
// the darkened backdrop, one row highlighted, and "OK" at the bottom left, which a tap also
// confirms.
#pragma once

#include "gamelib/GameInterface.h"

#include "lang/DString.h"
#include "microedition/lcdui/DGraphics.h"
#include "microedition/lcdui/DImage.h"

#include <cstdint>

namespace gamelib {

class QuestionScreen : public GameInterface
{
  public:
    static constexpr int32_t kShadeLevel = -160;
    static constexpr int32_t kTextColour = 0x000000;
    static constexpr int32_t kHighlightColour = 0x7381A9;
    static constexpr int32_t kOkColour = 0xCCCCCC;
    // Taps closer together than this are ignored.
    static constexpr int64_t kTapGateMillis = 200;

    int32_t boxWidth = 0;
    int32_t rowHeight = 0;
    int32_t boxX = 0;
    int32_t boxY = 0;
    int64_t lastActionTime = 0;

  protected:
    // The box (two thirds of the screen wide, `rows` rows of the menu font), the backdrop (none
    // when its picture cannot be read), the label, and the tap gate closed from now.
    void setUpBox(int32_t rows);
    // Top of the box: as far down as the box is wide, on every screen. A box that would not
    // stay on the screen so (a long list, a short screen) is centred on its own height instead,
    // its first row kept on the screen.
    static int32_t boxTop(int32_t boxWidth, int32_t boxHeight);
    // Drops the backdrop and the label.
    void dropBox();
    // The tap at the pointer: on a row of the box (its top `height` pixels) it chooses the row
    // when chooseRow takes it and confirms; on the "OK" label it confirms. A tap within the
    // gate of the last one on the box does nothing.
    void handleTap(int32_t height);
    // Takes the row as the answer; false for a row that is none.
    virtual bool chooseRow(int32_t row) = 0;
    // Black, the backdrop and the highlight of the row (none when negative); then the text
    // colour is set.
    void paintBox(qev::microedition::lcdui::DGraphicsPtr g, int32_t row) const;
    // "OK" at the bottom left.
    void paintOkLabel(qev::microedition::lcdui::DGraphicsPtr g) const;
    // How far the rows' baselines rise on screens taller than 320 pixels.
    static int32_t textLift();

  private:
    qev::microedition::lcdui::DImagePtr m_background;
    qev::lang::DStringPtr m_okLabel;
};

} // namespace gamelib

// The picture viewer: shows the unlocked gallery pictures one at a time, full screen, sliding
// from one to the next with a speed that grows each step. Its two buttons ("quit" at the bottom
// left, "next" at the bottom right) slide out on input and back in three seconds later. The
// unlocked pictures are one bit mask shared by the program and kept as the option "openimgs".
#pragma once

#include "gamelib/GameInterface.h"

#include "lang/DString.h"
#include "microedition/lcdui/DImage.h"

#include <cstdint>

namespace gallery {

class Gallery : public gamelib::GameInterface
{
  public:
    static constexpr int32_t kPictures = 24;
    static constexpr int32_t kButtonSpeed = 3;
    static constexpr int64_t kButtonShowMillis = 3000;
    // 16.16 fixed point.
    static constexpr int32_t kSlideStartSpeed = 0x20000;
    static constexpr int32_t kSlideSpeedUp = 0x4000;

    enum Slide : int32_t { SLIDE_STILL = 0, SLIDE_NEXT = 1, SLIDE_PREVIOUS = 2 };

    Gallery() = default;
    const char* getClassName() override { return "Gallery"; }

    void start() override;
    void update() override;
    void paint() override;
    // Leaves an embedded gallery: the owning game sees `stopped`.
    void stop() override;

    // Sets bit n (0..23) of the stored mask and saves it when it was clear.
    static void unlockPicture(int32_t n);
    static bool isUnlocked(int32_t n);
    // The next unlocked picture from start on (wrapping), start itself when no other is
    // unlocked, -1 when start is not a picture number.
    static int32_t nextUnlocked(int32_t start, bool forward);
    // The shared mask as stored (read once per run), and forgetting it (tests, a new run).
    static int32_t unlockedMask();
    static void forgetMask();

    int32_t current = -1;
    int32_t slide = SLIDE_STILL;
    int32_t slideX = 0;
    int32_t slideSpeed = 0;
    int32_t buttonX = 0;
    int32_t buttonSpeed = 0;
    int32_t buttonWidth = 0;
    int32_t labelHeight = 0;
    int64_t buttonTime = -1;
    // Opened from a game's menu: leaving stops it instead of returning to the main menu.
    bool embedded = false;
    bool stopped = false;

  private:
    void compose(int32_t n);
    bool leaving() const;
    void slideStep();
    void buttonStep();

    qev::microedition::lcdui::DImagePtr m_picture;
    qev::microedition::lcdui::DImagePtr m_previous;
    qev::microedition::lcdui::DImagePtr m_button;
    qev::lang::DStringPtr m_quitLabel;
    qev::lang::DStringPtr m_nextLabel;
    qev::lang::DStringPtr m_noImagesLabel;
};

using GalleryPtr = qev::lang::DPtr<Gallery>;

} // namespace gallery

// The static helpers of the game menus that the shell and the games share: option records, the
// loading progress bar and the shared menu images.
#pragma once

#include "lang/DString.h"

#include <cstdint>

namespace gamelib {

class GameMenu
{
  public:
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
    // When the menus last acted on input.
    static int64_t lastActionTime;

    static constexpr int32_t kProgressWidth = 108;
    static constexpr int32_t kProgressHeight = 10;
};

} // namespace gamelib

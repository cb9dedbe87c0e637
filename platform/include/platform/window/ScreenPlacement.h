// Where the emulated screen sits in a desktop window of any size, and how big a new window is.
#pragma once

namespace platform {

// The screen at the largest whole-number scale that fits the window (at least 1), centred; the
// rest of the window is black. A window smaller than the screen cuts the picture at both sides
// (x or y negative).
struct ScreenPlacement
{
    int scale = 1;
    int x = 0;
    int y = 0;
    int width = 0; // the screen's size times the scale
    int height = 0;

    static ScreenPlacement fit(int windowWidth, int windowHeight, int screenWidth,
                               int screenHeight);

    // The screen pixel under a window pixel. A pixel beside the picture gives a position outside
    // the screen (negative, or past its size), rounded down, never pulled into the picture.
    int toScreenX(int windowX) const;
    int toScreenY(int windowY) const;
};

// Allowance for the window manager's frame (borders and title bar) around a new window.
constexpr int kFrameAllowanceWidth = 16;
constexpr int kFrameAllowanceHeight = 48;

// The scale of a new window: the largest from maxScale down whose window, with its frame, fits
// the desktop's usable area; 1 when even that does not fit.
int fittingScale(int usableWidth, int usableHeight, int screenWidth, int screenHeight,
                 int maxScale);

} // namespace platform

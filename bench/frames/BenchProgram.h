// The program as the benchmarks run it: the build's game.dat, a headless window of the given
// size with the display layer in front of it, the game library as the application's MIDlet and
// every game registered, on the fake clock with records in a folder of their own. Each step is
// what the main loop does every 25 ms: a key event, update, paint and present.
#pragma once

#include "display/DisplayContext.h"
#include "gamelib/GameLib.h"
#include "microedition/lcdui/DDisplay.h"
#include "platform/windows.h"

#include <cstdint>
#include <memory>
#include <string>

namespace framebench {

class BenchProgram
{
  public:
    // Records go to `records` (a folder that outlives the program, so that a later program
    // starts with what this one saved), or when it is empty to a folder of this program only.
    BenchProgram(int width, int height, const std::string& records = "");
    ~BenchProgram();
    BenchProgram(const BenchProgram&) = delete;
    BenchProgram& operator=(const BenchProgram&) = delete;

    // False when the build made no game.dat.
    static bool haveGameData();

    // Start-up as the program does it: the archive, the screen configuration, the shared data
    // and fonts, up to the language question.
    void startApp() { m_lib->startApp(); }
    // Answers the language and the sound questions (the first language, no sound) and runs
    // until the main menu has painted its first frame. False when it never gets there.
    bool answerQuestionsToMainMenu();
    // startApp and answerQuestionsToMainMenu.
    bool startToMainMenu();
    // Game `index` of the main menu's table, made and started as the menu does, with "start"
    // chosen in its menu; false when its play state is not reached. `playing` tells it.
    bool startGame(int index, bool (*playing)());

    void step();
    void steps(int n);
    // A press and a release, each in its own step.
    void press(int32_t code);
    // The first key of a canvas action (0 up, 1 down, 2 left, 3 right, 4 fire).
    static int32_t key(int32_t action);
    // FNV-1a of the window's pixels: what the player sees after the last present.
    uint64_t windowHash() const;
    // The window's pixels as a binary PPM file; false when it cannot be written.
    bool writeWindow(const std::string& path) const;

  private:
    std::string m_records;
    bool m_ownRecords = false;
    int m_width = 0;
    HWND m_window = nullptr;
    std::unique_ptr<ScreenHAL::DisplayContext> m_context;
    gamelib::GameLibPtr m_lib;
    qev::microedition::lcdui::DDisplayPtr m_display;
};

} // namespace framebench

// Random play for long runs: before each pass of the main loop it steps the fake clock and feeds
// the next input of a random plan (presses, holds, repeats, taps, idle spells, the hidden
// level-select sequence, losing and regaining the focus, walks through the main menu); after the
// pass it notes the screen, the level selects and whether a frame was shown.
#pragma once

#include "LoopHooks.h"
#include "SoakFigures.h"

#include "platform/testing/HeadlessBackend.h"

#include <cstdint>
#include <deque>
#include <random>
#include <string>
#include <vector>

namespace soak {

class SoakDriver : public host::LoopHooks
{
  public:
    static constexpr int kStepMillis = 25;
    // A run that shows no frame for this long while it has the focus is stuck.
    static constexpr int64_t kHangMillis = 10000;
    // The highest level the level select types: the brick-breaker's last round (the other
    // games have fewer levels).
    static constexpr int kLastLevel = 50;

    // Plays until `figures.steps` reaches `totalSteps`; the random plan comes from `seed`.
    SoakDriver(uint64_t seed, int64_t totalSteps, platform::HeadlessBackend& backend,
               SoakFigures& figures);

    // Starts watching a new run of the program (its window, frames and focus).
    void startRun();
    void beforePass(long pass) override;
    bool afterPass(long pass) override;
    // The run was ended for showing no frame.
    bool runHung() const { return m_hung; }
    bool done() const { return m_figures.steps >= m_totalSteps; }
    // The class of the screen that was current after the last pass.
    const std::string& lastScreen() const { return m_lastScreen; }

    // Passes begun by any driver, and the class of the screen current at the last one's start
    // (a static name): read by the watchdog thread while the main thread may be stuck in a pass.
    static int64_t passesBegun();
    static const char* screenAtLastPass();

  private:
    struct Input
    {
        enum class Kind { KeyDown, KeyUp, KeyRepeat, PointerDown, PointerUp, Activate, Deactivate };
        Kind kind;
        unsigned key = 0;
        int x = 0;
        int y = 0;
    };
    using Pass = std::vector<Input>;

    void plan();
    void press(unsigned key, int gap);
    void idle(int passes);
    int uniform(int low, int high);
    unsigned randomKey();
    void feed(const Input& input);

    std::mt19937_64 m_random;
    int64_t m_totalSteps;
    platform::HeadlessBackend& m_backend;
    SoakFigures& m_figures;
    std::deque<Pass> m_plan;
    int m_lastPresents = 0;
    int64_t m_lastFrameMillis = 0;
    bool m_active = true;
    bool m_hung = false;
    std::string m_lastScreen = "(none)";
};

} // namespace soak

// Watches a ball for being trapped between hard bricks. The one-pixel step back after a brick
// bounce works against the ball's progress along the edge it hit; in a corridor barely higher
// (or wider) than the ball the two cancel out, or the step back wins, and the ball bounces on the
// spot or creeps backwards without touching anything it could break. A ball that bounces off
// hard bricks again and again in quick succession, along edges of one direction, and gets on
// less than a pixel a bounce is trapped. While it is, each bounce moves it a little forward along
// the edge instead of back, where nothing stands in the way, which carries it out. Any other ball
// bounces as before.
#pragma once

#include <cstdint>

namespace tessarine {

class TrapWatch
{
  public:
    // Hard-brick bounces in one run that make a trapped ball when it has not got on.
    static constexpr int32_t kBounces = 6;
    // Steps that may pass between two bounces of one run.
    static constexpr int32_t kGapSteps = 8;
    // How far a trapped ball moves forward along the edge at a bounce.
    static constexpr int32_t kNudgePixels = 2;

    // One step of the ball.
    void step()
    {
        if (m_stepsSinceBounce <= kGapSteps)
            ++m_stepsSinceBounce;
    }
    // A bounce off a hard brick that still stands: the ball placed on the edge at (x16, y16)
    // with the direction it came in, the edge vertical or not. Returns whether it is trapped.
    bool hardBounce(int32_t x16, int32_t y16, int32_t dx, int32_t dy, bool vertical);
    // The ball touched something else (the paddle, a brick it can break) or left play.
    void reset();
    bool trapped() const { return m_trapped; }

  private:
    int32_t m_bounces = 0;
    int32_t m_stepsSinceBounce = kGapSteps + 1;
    // Where the run started along the edges (1/16 pixel), which way is forward, and whether the
    // edges are vertical.
    int32_t m_start = 0;
    int32_t m_forward = 0;
    bool m_vertical = false;
    bool m_trapped = false;
};

} // namespace tessarine

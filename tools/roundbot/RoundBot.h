// A bot that plays one brick-breaker round the way a steady player would: the paddle goes to
// where the falling ball will come down and meets it off-centre so that it flies at a standing
// brick, a held ball is launched at once, and lost lives are given back. It plays through the
// game's own update and paint, one 25 ms step of the fake clock at a time, and notes how the
// round went.
#pragma once

#include "tessarine/Tessarine.h"

#include <cstdint>
#include <map>
#include <set>

namespace roundbot {

struct RoundResult
{
    int32_t round = 0;
    bool cleared = false;
    // Game time from the round's start to its clearing, or to the cap.
    int64_t millis = 0;
    // Hit points still standing at the end (0 once cleared).
    int32_t hitPointsLeft = 0;
    int32_t livesLost = 0;
    // The longest time one ball flew without touching the paddle or a brick it can break.
    int64_t longestIdleMillis = 0;
};

// The game screen with a note of every brick a ball reaches; otherwise the game itself.
class WatchedGame : public tessarine::Tessarine
{
  public:
    void resolveBrickHit(tessarine::Ball& ball, int32_t px16, int32_t py16, int32_t column,
                         int32_t row, bool vertical) override;
    // Balls that reached a breakable brick since the last call, which forgets them.
    std::set<const tessarine::Ball*> takeTouches();

  private:
    std::set<const tessarine::Ball*> m_touched;
};

class RoundBot
{
  public:
    // `game` is started and shows its menu; `seed` varies the bot's choices.
    RoundBot(WatchedGame& game, uint32_t seed);
    // Starts `round` as a new game from the menu and plays it until it is cleared or
    // `capMillis` of game time have passed; leaves the game in play or on the cleared picture.
    RoundResult play(int32_t round, int64_t capMillis);

  private:
    void step();
    void steer();
    // Steps until the ball reaches the paddle's top, or -1 when it does not fall there.
    int32_t landing(const tessarine::Ball& ball, int32_t& landingX) const;
    // The offset from the paddle's centre at which to meet a ball landing at x.
    int32_t chooseOffset(int32_t landingX);
    void noteTouches(int64_t elapsed);
    uint32_t nextRandom();

    WatchedGame& m_game;
    uint32_t m_random;
    const tessarine::Ball* m_target = nullptr;
    int32_t m_offset = 0;
    // Per ball in flight: the game time of its last touch.
    std::map<const tessarine::Ball*, int64_t> m_lastTouch;
    std::map<const tessarine::Ball*, int32_t> m_lastDy;
    RoundResult m_result;
};

} // namespace roundbot

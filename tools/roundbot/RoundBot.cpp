#include "RoundBot.h"

#include "tessarine/BrickList.h"
#include "tessarine/Platform.h"
#include "tessarine/TessarineGlobals.h"

#include "gamelib/GameLib.h"
#include "gamelib/ScreenCanvas.h"

#include "platform/testing/FakeClock.h"

#include <algorithm>
#include <cstdlib>
#include <vector>

namespace roundbot {

using namespace tessarine;

namespace {

// How far a falling ball is followed ahead, in steps.
constexpr int32_t kLookAhead = 800;

// x folded back into [low, high] as the side walls fold a ball's path.
int32_t foldBetween(int64_t x, int32_t low, int32_t high)
{
    const int64_t span = high - low;
    if (span <= 0)
        return low;
    int64_t t = (x - low) % (2 * span);
    if (t < 0)
        t += 2 * span;
    return static_cast<int32_t>(low + (t <= span ? t : 2 * span - t));
}

} // namespace

void WatchedGame::resolveBrickHit(Ball& ball, int32_t px16, int32_t py16, int32_t column,
                                  int32_t row, bool vertical)
{
    const Brick* brick = brickList->brickAt(row, column);
    if (brick && brick->stands() && brick->type != Brick::TYPE_HARD)
        m_touched.insert(&ball);
    Tessarine::resolveBrickHit(ball, px16, py16, column, row, vertical);
}

std::set<const Ball*> WatchedGame::takeTouches()
{
    std::set<const Ball*> out;
    out.swap(m_touched);
    return out;
}

RoundBot::RoundBot(WatchedGame& game, uint32_t seed) : m_game(game), m_random(seed | 1) {}

uint32_t RoundBot::nextRandom()
{
    // xorshift32: the bot's own draws, apart from the game's generator.
    m_random ^= m_random << 13;
    m_random ^= m_random >> 17;
    m_random ^= m_random << 5;
    return m_random;
}

RoundResult RoundBot::play(int32_t round, int64_t capMillis)
{
    m_result = RoundResult();
    m_result.round = round;
    m_lastTouch.clear();
    m_lastDy.clear();
    m_target = nullptr;
    // A new game at the given round, as "continue" starts one at the highest round opened.
    openLevel = round;
    gameInProgress = 0;
    m_game.chooseMenuItem(Tessarine::ITEM_CONTINUE);
    m_game.takeTouches();
    int32_t lives = m_game.lives;
    int64_t elapsed = 0;
    while (elapsed < capMillis) {
        step();
        elapsed += gamelib::GameLib::kStepMillis;
        if (m_game.lives < lives)
            m_result.livesLost += lives - m_game.lives;
        if (m_game.lives < Tessarine::kStartLives)
            m_game.lives = Tessarine::kStartLives;
        lives = m_game.lives;
        noteTouches(elapsed);
        if (gameState == STATE_LEVEL_CLEARED) {
            m_result.cleared = true;
            break;
        }
    }
    m_result.millis = elapsed;
    m_result.hitPointsLeft = brickList->remaining;
    return m_result;
}

void RoundBot::step()
{
    platform::FakeClock::step(gamelib::GameLib::kStepMillis);
    gamelib::keyLeft = gamelib::keyRight = gamelib::keyFire = 0;
    if (gameState == STATE_PLAYING)
        steer();
    m_game.update();
    m_game.paint();
}

int32_t RoundBot::landing(const Ball& ball, int32_t& landingX) const
{
    const Platform& pad = *paddle;
    int32_t x16 = ball.x16;
    int32_t y16 = ball.y16;
    int32_t vx = ball.speed * ball.dx;
    int32_t vy = ball.speed * ball.dy;
    const int32_t r = ball.radius;
    const int32_t rightWall = gamelib::screenWidth - ball.wallLeft;
    for (int32_t n = 1; n <= kLookAhead; ++n) {
        const int32_t oldY = y16 >> 4;
        x16 += vx;
        y16 += vy;
        const int32_t x = x16 >> 4;
        const int32_t y = y16 >> 4;
        if (y >= gamelib::screenHeight)
            return -1;
        if ((ball.wallLeft >= x - r && vx < 0) || (x + r >= rightWall && vx > 0))
            vx = -vx;
        if (y - r < ball.wallTop && vy < 0)
            vy = -vy;
        if (vy > 0 && y + r >= pad.y && oldY <= pad.y) {
            landingX = x;
            return n;
        }
    }
    return -1;
}

int32_t RoundBot::chooseOffset(int32_t landingX)
{
    const Platform& pad = *paddle;
    const int32_t radius = m_target ? m_target->radius : 4;
    const int32_t reach = std::max(0, pad.width / 2 + radius - 3);
    const int32_t span = 2 * reach + 1;
    // Now and then a plain guess, as a player's hand wavers.
    if (nextRandom() % 4 == 0)
        return static_cast<int32_t>(nextRandom() % static_cast<uint32_t>(span)) - reach;
    // Otherwise at a standing brick, one open from below when there is such a brick.
    BrickList& list = *brickList;
    std::vector<const Brick*> open;
    std::vector<const Brick*> all;
    for (int32_t r = 0; r < kRows; ++r)
        for (int32_t c = 0; c < kColumns; ++c) {
            const Brick* b = list.brickAt(r, c);
            if (!b->counts())
                continue;
            all.push_back(b);
            const Brick* below = list.brickAt(r + 1, c);
            if (!below || !below->stands())
                open.push_back(b);
        }
    const std::vector<const Brick*>& pool = open.empty() ? all : open;
    if (pool.empty())
        return 0;
    const Brick& aim = *pool[nextRandom() % pool.size()];
    const int32_t tx = aim.x + list.cellWidth / 2;
    const int32_t ty = aim.y + list.cellHeight;
    const int32_t low = gridLeft + radius;
    const int32_t high = gamelib::screenWidth - gridLeft - radius;
    const int32_t rise = pad.y - radius - ty;
    int32_t best = 0;
    int32_t bestMiss = 1 << 30;
    for (int32_t v = -reach; v <= reach; ++v) {
        const int32_t dx = Ball::paddleDx(v);
        const int32_t dy = Ball::verticalSpeedFor(dx);
        const int32_t reached =
            foldBetween(landingX + static_cast<int64_t>(rise) * dx / dy, low, high);
        const int32_t miss = std::abs(reached - tx);
        if (miss < bestMiss || (miss == bestMiss && std::abs(v) < std::abs(best))) {
            bestMiss = miss;
            best = v;
        }
    }
    return best;
}

void RoundBot::steer()
{
    const Platform& pad = *paddle;
    BallArray& all = *m_game.balls;
    const Ball* falling = nullptr;
    const Ball* lowest = nullptr;
    int32_t soonest = 0;
    int32_t landingX = 0;
    for (int32_t i = 0; i < all.length; ++i) {
        const Ball& b = *all[i];
        if (!b.active)
            continue;
        if (!b.released) {
            gamelib::keyFire = 1;
            continue;
        }
        if (!lowest || b.y > lowest->y)
            lowest = &b;
        int32_t x = 0;
        const int32_t n = b.dy > 0 ? landing(b, x) : -1;
        if (n > 0 && (!falling || n < soonest)) {
            falling = &b;
            soonest = n;
            landingX = x;
        }
    }
    if (pad.gunsOn)
        gamelib::keyFire = 1;
    int32_t goal = gamelib::screenWidth / 2;
    if (falling) {
        if (falling != m_target) {
            m_target = falling;
            m_offset = chooseOffset(landingX);
        }
        goal = landingX - m_offset;
        // Too far to meet it off-centre in time: meet it anyhow.
        if (std::abs(goal - pad.x) > soonest * pad.step)
            goal = landingX;
    } else {
        m_target = nullptr;
        if (lowest)
            goal = lowest->x;
    }
    gamelib::keyRight = goal > pad.x + 1;
    gamelib::keyLeft = goal < pad.x - 1;
}

void RoundBot::noteTouches(int64_t elapsed)
{
    const std::set<const Ball*> touched = m_game.takeTouches();
    const Platform& pad = *paddle;
    BallArray& all = *m_game.balls;
    for (int32_t i = 0; i < all.length; ++i) {
        const Ball* b = all[i].get();
        if (!b->active || !b->released || gameState != STATE_PLAYING) {
            // Held, out or between lives: its next flight starts afresh.
            m_lastTouch.erase(b);
            m_lastDy.erase(b);
            continue;
        }
        auto last = m_lastTouch.find(b);
        if (last == m_lastTouch.end())
            last = m_lastTouch.emplace(b, elapsed).first;
        const auto dy = m_lastDy.find(b);
        const bool offPaddle =
            dy != m_lastDy.end() && dy->second > 0 && b->dy < 0 && b->y == pad.y - b->radius;
        if (offPaddle || touched.count(b))
            last->second = elapsed;
        m_result.longestIdleMillis = std::max(m_result.longestIdleMillis, elapsed - last->second);
        m_lastDy[b] = b->dy;
    }
}

} // namespace roundbot

// Moving the balls: the five-probe sweep of each step against the brick edges it crosses, and
// the answer of the brick that was reached first.
#include "tessarine/BrickList.h"
#include "tessarine/Platform.h"
#include "tessarine/Tessarine.h"
#include "tessarine/TessarineGlobals.h"

#include <cstdlib>

namespace tessarine {

namespace {

enum Edge : int32_t { EDGE_BOTTOM = 0, EDGE_RIGHT = 1, EDGE_TOP = 2, EDGE_LEFT = 3 };

// Whether the cell at pixel `along` on the axis of motion (rows for vertical edges, columns for
// horizontal ones) holds a brick anywhere across the span [from16, to16], or lies off the grid.
bool blocked(BrickList& list, bool vertical, int32_t along, int32_t from16, int32_t to16)
{
    const int32_t origin = vertical ? list.gridTop : gridLeft;
    const int32_t crossOrigin = vertical ? gridLeft : list.gridTop;
    if (along < origin || (from16 >> 4) < crossOrigin)
        return true;
    for (int32_t side = from16 >> 4; side <= (to16 >> 4); ++side) {
        const Brick* b = vertical ? list.brickAt(list.rowAt(along), list.columnAt(side))
                                  : list.brickAt(list.rowAt(side), list.columnAt(along));
        if (!b || b->stands())
            return true;
    }
    return false;
}

// Moves a trapped ball forward along the edges it bounces between. The move is not swept, so it
// stays in empty cells; and when a brick stands within the move and a few steps of the ball's
// own motion along the edges, the ball stops a sixteenth of a pixel short of that brick's edge,
// so that its next step crosses the edge and is seen to. A ball without motion along the edges
// that cannot move forward turns the other way.
void nudgeAlongEdge(BrickList& list, Ball& ball, bool vertical)
{
    int32_t& alongDirection = vertical ? ball.dy : ball.dx;
    int32_t& along16 = vertical ? ball.y16 : ball.x16;
    const int32_t across16 = vertical ? ball.x16 : ball.y16;
    const int32_t forward = alongDirection > 0 ? 1 : -1;
    const int32_t big = 16 * ball.radius;
    const int32_t lead = along16 + forward * big;
    const int32_t nudge = TrapWatch::kNudgePixels * 16;
    const int32_t reach = nudge + 4 * ball.speed * std::abs(alongDirection);
    int32_t room = 0;
    while (room < reach) {
        // Going backwards on the axis, a point on a cell's edge belongs to the cell behind it.
        const int32_t point = lead + forward * (room + 1);
        if (blocked(list, vertical, (forward > 0 ? point : point - 1) >> 4, across16 - big + 1,
                    across16 + big - 1))
            break;
        ++room;
    }
    const int32_t shift = room == reach ? nudge : room;
    along16 += forward * shift;
    ball.x = ball.x16 >> 4;
    ball.y = ball.y16 >> 4;
    if (shift == 0 && alongDirection == 0)
        alongDirection = -forward;
}

} // namespace

void Tessarine::intersectEdge(int32_t column, int32_t row, int32_t edge, int32_t probe)
{
    BrickList& list = *brickList;
    const int64_t x0 = (*probeStartX)[probe];
    const int64_t y0 = (*probeStartY)[probe];
    const int64_t x1 = (*probeEndX)[probe];
    const int64_t y1 = (*probeEndY)[probe];
    int64_t hx = 0;
    int64_t hy = 0;
    const bool vertical = edge == EDGE_RIGHT || edge == EDGE_LEFT;
    if (vertical) {
        hx = edge == EDGE_RIGHT ? list.columnRight(column) : list.columnLeft(column);
        if ((x1 - hx) * (x0 - hx) >= 0)
            return;
        hy = (hx * (y1 - y0) + y0 * x1 - x0 * y1) / (x1 - x0);
        if ((list.rowBottom(row) - hy) * (list.rowTop(row) - hy) >= 0)
            return;
    } else {
        hy = edge == EDGE_BOTTOM ? list.rowBottom(row) : list.rowTop(row);
        if ((y1 - hy) * (y0 - hy) >= 0)
            return;
        hx = (hy * (x1 - x0) + x0 * y1 - y0 * x1) / (y1 - y0);
        if ((list.columnRight(column) - hx) * (list.columnLeft(column) - hx) >= 0)
            return;
    }
    const int64_t d = (hy - y0) * (hy - y0) + (hx - x0) * (hx - x0);
    if (!(*probeMissed)[probe] && (*probeDistance)[probe] < d)
        return;
    (*probeHitX)[probe] = static_cast<int32_t>(hx);
    (*probeHitY)[probe] = static_cast<int32_t>(hy);
    (*probeColumn)[probe] = column;
    (*probeRow)[probe] = row;
    (*probeVertical)[probe] = vertical;
    (*probeDistance)[probe] = static_cast<int32_t>(d);
    (*probeMissed)[probe] = false;
}

void Tessarine::resolveBrickHit(Ball& ball, int32_t px16, int32_t py16, int32_t column, int32_t row,
                                bool vertical)
{
    BrickList& list = *brickList;
    Brick& brick = *list.brickAt(row, column);
    const bool hard = brick.type == Brick::TYPE_HARD;
    bool bounce = false;
    switch (ball.size) {
    case 0:
    case 3:
        bounce = true;
        break;
    case 1:
        bounce = brick.hits > 1 || hard;
        break;
    case 2:
        bounce = brick.hits > 3 || hard;
        break;
    case 4:
        bounce = hard;
        break;
    default:
        bounce = false;
        break;
    }
    brick.hit(&ball);
    list.repaintNeighbours(row, column);
    ball.x16 = px16;
    ball.y16 = py16;
    ball.x = px16 >> 4;
    ball.y = py16 >> 4;
    bool trapped = false;
    if (bounce && hard && brick.stands())
        trapped = ball.trapWatch.hardBounce(px16, py16, ball.dx, ball.dy, vertical);
    else
        ball.trapWatch.reset();
    if (!bounce)
        return;
    if (brick.stands()) {
        int32_t sy = ball.dy <= 0 ? 1 : -1;
        int32_t sx = ball.dx <= 0 ? 1 : -1;
        // A trapped ball keeps its place along the edge.
        if (trapped && vertical)
            sy = 0;
        else if (trapped)
            sx = 0;
        ball.y += sy;
        ball.x += sx;
        ball.y16 += sy * 16;
        ball.x16 += sx * 16;
    }
    if (trapped)
        nudgeAlongEdge(list, ball, vertical);
    if (vertical)
        ball.dx = -ball.dx;
    else
        ball.dy = -ball.dy;
}

void Tessarine::processBalls()
{
    Platform& pad = *paddle;
    BrickList& list = *brickList;
    BallArray& all = *balls;
    for (int32_t i = 0; i < all.length; ++i) {
        Ball& ball = *all[i];
        ball.trapWatch.step();
        if (!ball.released) {
            if (pad.sticky && ball.active)
                ball.moveAndBounce(pad.x, pad.y, pad.x - pad.width / 2, pad.x + pad.width / 2,
                                   true);
            else
                ball.setPosition(pad.x + ball.radius, pad.y - 1);
            continue;
        }
        if (!ball.active)
            continue;
        const int32_t px = ball.x16;
        const int32_t py = ball.y16;
        const int32_t qx = px + ball.speed * ball.dx;
        const int32_t qy = py + ball.speed * ball.dy;
        const int32_t big = 16 * ball.radius;
        const int32_t w = -ball.radius * ball.dy;
        const int32_t v = ball.radius * ball.dx;
        const bool left = ball.dx < 0;
        const bool up = ball.dy < 0;
        const bool moving = ball.dx != 0 || ball.dy != 0;
        // Up-left, up and left test right and bottom edges; up-right left and bottom; down-left
        // right and top; right, down and down-right left and top.
        const bool westward = left || (ball.dx == 0 && up);
        const bool northward = up || (ball.dy == 0 && left);
        const int32_t sideR = westward ? -big : big;
        const int32_t vertR = northward ? -big : big;
        const int32_t offX[5] = {w, -w, v, sideR, 0};
        const int32_t offY[5] = {v, -v, -w, 0, vertR};
        for (int32_t n = 0; n < kProbes; ++n) {
            (*probeStartX)[n] = px + offX[n];
            (*probeStartY)[n] = py + offY[n];
            (*probeEndX)[n] = qx + offX[n];
            (*probeEndY)[n] = qy + offY[n];
            (*probeMissed)[n] = true;
            (*probeDistance)[n] = 0;
        }
        if (moving) {
            const int32_t firstEdge = westward ? EDGE_RIGHT : EDGE_LEFT;
            const int32_t secondEdge = northward ? EDGE_BOTTOM : EDGE_TOP;
            int32_t rowFrom, rowTo, rowStep, colFrom, colTo, colStep;
            if (northward) {
                rowFrom = list.rowAt((py + big) >> 4) + 1;
                rowTo = list.rowAt((qy - big) >> 4) - 1;
                rowStep = -1;
            } else {
                rowFrom = list.rowAt((py - big) >> 4) - 1;
                rowTo = list.rowAt((qy + big) >> 4) + 1;
                rowStep = 1;
            }
            if (westward) {
                colFrom = list.columnAt((px + big) >> 4) + 1;
                colTo = list.columnAt((qx - big) >> 4) - 1;
                colStep = -1;
            } else {
                colFrom = list.columnAt((px - big) >> 4) - 1;
                colTo = list.columnAt((qx + big) >> 4) + 1;
                colStep = 1;
            }
            for (int32_t r = rowFrom; rowStep < 0 ? r >= rowTo : r <= rowTo; r += rowStep) {
                if (r < 0 || r >= kRows)
                    continue;
                for (int32_t c = colFrom; colStep < 0 ? c >= colTo : c <= colTo; c += colStep) {
                    Brick* b = list.brickAt(r, c);
                    if (!b || !b->stands())
                        continue;
                    for (int32_t n = 0; n < kProbes; ++n) {
                        intersectEdge(c, r, firstEdge, n);
                        intersectEdge(c, r, secondEdge, n);
                    }
                }
            }
        }
        int32_t winner = -1;
        for (int32_t n = kProbes - 1; n >= 0; --n)
            if (!(*probeMissed)[n] &&
                (winner < 0 || (*probeDistance)[n] <= (*probeDistance)[winner]))
                winner = n;
        if (winner < 0) {
            const bool fallingBefore = ball.dy > 0;
            if (ball.moveAndBounce(pad.x, pad.y, pad.x - pad.width / 2, pad.x + pad.width / 2,
                                   pad.sticky != 0) == 1)
                loseLife();
            // Only the paddle turns a falling ball upward.
            else if (fallingBefore && ball.dy < 0)
                ball.trapWatch.reset();
            continue;
        }
        const int32_t cx = (*probeHitX)[winner] - offX[winner];
        const int32_t cy = (*probeHitY)[winner] - offY[winner];
        resolveBrickHit(ball, cx, cy, (*probeColumn)[winner], (*probeRow)[winner],
                        (*probeVertical)[winner]);
        spawnParticles(10, ball.size < 3 ? 2 : 1, ball.x, ball.y, 0);
    }
    compactBalls();
}

} // namespace tessarine

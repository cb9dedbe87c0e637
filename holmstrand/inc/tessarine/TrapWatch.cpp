#include "tessarine/TrapWatch.h"

namespace tessarine {

bool TrapWatch::hardBounce(int32_t x16, int32_t y16, int32_t dx, int32_t dy, bool vertical)
{
    // Along a vertical edge the ball gets on in y, along a horizontal one in x. Without motion
    // along the edge, forward is the way opposite to the step back.
    const int32_t along = vertical ? y16 : x16;
    const int32_t forward = (vertical ? dy : dx) > 0 ? 1 : -1;
    const bool inRun = m_bounces > 0 && m_stepsSinceBounce <= kGapSteps && vertical == m_vertical &&
                       forward == m_forward;
    m_stepsSinceBounce = 0;
    if (inRun)
        ++m_bounces;
    if (inRun && !m_trapped && m_bounces >= kBounces) {
        // Less than a pixel a bounce forward: trapped. Otherwise the run starts again here.
        if ((along - m_start) * forward < (m_bounces - 1) * 16)
            m_trapped = true;
        else
            m_bounces = 1;
    }
    if (!inRun || m_bounces == 1) {
        m_bounces = 1;
        m_start = along;
        m_forward = forward;
        m_vertical = vertical;
        m_trapped = false;
    }
    return m_trapped;
}

void TrapWatch::reset()
{
    m_bounces = 0;
    m_stepsSinceBounce = kGapSteps + 1;
    m_trapped = false;
}

} // namespace tessarine

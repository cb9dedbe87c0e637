#include "display/RotationDriver.h"

#include "display/DisplayLog.h"

#include <algorithm>
#include <cstring>

namespace ScreenHAL {

namespace {

constexpr int kTile = 16;

// One tile: inner (x, y) for x in [x0, x1), y in [y0, y1) from the RAM frame.
template <int Turns> void tile(Surface& in, Surface& ram, int x0, int y0, int x1, int y1)
{
    const int ws = ram.width, hs = ram.height;
    for (int y = y0; y < y1; ++y) {
        uint16_t* dst = pixelAt(in, x0, y);
        if constexpr (Turns == 0) {
            std::memcpy(dst, pixelAt(ram, x0, y), static_cast<size_t>(x1 - x0) * 2);
        } else if constexpr (Turns == 1) {
            // inner (x, y) = RAM (y, Hs - 1 - x)
            for (int x = x0; x < x1; ++x)
                *dst++ = *pixelAt(ram, y, hs - 1 - x);
        } else if constexpr (Turns == 2) {
            const uint16_t* src = pixelAt(ram, ws - 1 - x0, hs - 1 - y);
            for (int x = x0; x < x1; ++x)
                *dst++ = *src--;
        } else {
            // inner (x, y) = RAM (Ws - 1 - y, x)
            for (int x = x0; x < x1; ++x)
                *dst++ = *pixelAt(ram, ws - 1 - y, x);
        }
    }
}

template <int Turns> void walk(Surface& in, Surface& ram, const Rect& r, bool xOuter)
{
    if (xOuter) {
        for (int tx = r.left; tx < r.right; tx += kTile)
            for (int ty = r.top; ty < r.bottom; ty += kTile)
                tile<Turns>(in, ram, tx, ty, std::min(tx + kTile, r.right),
                            std::min(ty + kTile, r.bottom));
    } else {
        for (int ty = r.top; ty < r.bottom; ty += kTile)
            for (int tx = r.left; tx < r.right; tx += kTile)
                tile<Turns>(in, ram, tx, ty, std::min(tx + kTile, r.right),
                            std::min(ty + kTile, r.bottom));
    }
}

} // namespace

RotationDriver::RotationDriver(std::unique_ptr<Driver> inner) : m_inner(std::move(inner)) {}

void RotationDriver::copyTurned(Surface& innerFrame, Surface& ram, int turns, const Rect& innerRect,
                                bool xOuter)
{
    switch (turns & 3) {
    case 0:
        walk<0>(innerFrame, ram, innerRect, xOuter);
        break;
    case 1:
        walk<1>(innerFrame, ram, innerRect, xOuter);
        break;
    case 2:
        walk<2>(innerFrame, ram, innerRect, xOuter);
        break;
    default:
        walk<3>(innerFrame, ram, innerRect, xOuter);
        break;
    }
}

bool RotationDriver::Initialize(HWND, const DisplayParams& params, const DetectionRecord& record)
{
    DisplayLog::line("RotationDriver: Initialize()");
    if (!m_inner)
        return false;
    takeRecord(record);
    const int32_t innerOrientation = record.orientation;
    const int32_t q = params.orientation > 3 ? innerOrientation : params.orientation;
    m_turns = ((innerOrientation - q) % 4 + 4) % 4;
    if (m_turns & 1) {
        width = record.height;
        height = record.width;
    }
    swapKind = 2;
    orientation = q;
    m_ram = makeRamSurface(width, height);
    if (!m_ram)
        return false;
    pitch = m_ram->pitch;
    SetUpdateRect(Rect{0, 0, width, height});
    return true;
}

Surface* RotationDriver::Lock()
{
    m_innerFrame = m_inner->Lock();
    return m_innerFrame ? m_ram.get() : nullptr;
}

void RotationDriver::Present(int flags)
{
    if (!m_innerFrame)
        return;
    // Quarter turns walk the tiles along the scan when waiting for the scan window, and across
    // it otherwise; a frame written in place always takes the first walk.
    bool xOuter = true;
    if (flags & kPresentWaitScan) {
        m_inner->PrePresent();
        xOuter = m_inner->swapKind == 0;
    }
    copyTurned(*m_innerFrame, *m_ram, m_turns, m_innerRect, xOuter);
    m_inner->Present(flags);
    m_innerFrame = nullptr;
}

void RotationDriver::SetUpdateRect(const Rect& r)
{
    const int32_t wi = m_inner->width, hi = m_inner->height;
    Rect m = r;
    switch (m_turns) {
    case 1:
        m = Rect{wi - r.bottom, r.left, wi - r.top, r.right};
        break;
    case 2:
        m = Rect{wi - r.right, hi - r.bottom, wi - r.left, hi - r.top};
        break;
    case 3:
        m = Rect{r.top, hi - r.right, r.bottom, hi - r.left};
        break;
    default:
        break;
    }
    m_inner->SetUpdateRect(m);
    // Whole tiles, but never outside the inner frame (its sides need not be multiples of 16).
    m_innerRect = Rect{std::max(m.left & ~15, 0), std::max(m.top & ~15, 0),
                       std::min((m.right + 15) & ~15, wi), std::min((m.bottom + 15) & ~15, hi)};
}

void RotationDriver::Resume()
{
    m_inner->Resume();
}

void RotationDriver::Suspend()
{
    m_inner->Suspend();
}

void RotationDriver::Refresh()
{
    m_inner->Refresh();
}

} // namespace ScreenHAL

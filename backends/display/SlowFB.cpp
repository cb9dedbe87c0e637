#include "display/SlowFB.h"

#include "display/DisplayLog.h"

#include <algorithm>
#include <cstring>

namespace ScreenHAL {

SlowFB::SlowFB(std::unique_ptr<Driver> inner) : m_inner(std::move(inner)) {}

bool SlowFB::Initialize(HWND window, const DisplayParams& params, const DetectionRecord& record)
{
    DisplayLog::line("SlowFB: Initialize()");
    if (!IsWindow(window) || !m_inner || !m_inner->Initialize(window, params, record))
        return false;
    takeRecord(m_inner->record());
    const size_t frameBytes = static_cast<size_t>(pitch) * height;
    m_ramMode = frameBytes > 0 && (frameBytes & 0x3F) == 0;
    if (m_ramMode) {
        swapKind = params.swapEffect == 2 && params.orientation == m_inner->orientation ? 2 : 1;
        // The RAM frames keep the frame buffer's pitch so that words line up one to one.
        for (int i = 0; i < 2; ++i) {
            m_storage[i].assign(frameBytes / 4, 0);
            m_ram[i] = makeFrameSurface(m_storage[i].data(), width, height, pitch);
        }
        m_current = 0;
        SetUpdateRect(Rect{0, 0, width, height});
    }
    m_fullCopy = true;
    return true;
}

Surface* SlowFB::Lock()
{
    return m_ramMode ? m_ram[m_current].get() : m_inner->Lock();
}

void SlowFB::SetUpdateRect(const Rect& r)
{
    if (m_ramMode) {
        const size_t p = static_cast<size_t>(pitch);
        // Rows of the frame only, bottom never above top: the band below must not wrap round.
        const int32_t t = std::clamp(r.top, 0, height), b = std::clamp(r.bottom, t, height);
        if ((p * static_cast<size_t>(b - t)) % 64 != 0) {
            const int32_t t2 = t & ~1, b2 = (b + 1) & ~1;
            m_bandStart = p * static_cast<size_t>(t2);
            m_bandBlocks = p * static_cast<size_t>(b2 - t2) / 64;
        } else {
            m_bandStart = p * static_cast<size_t>(t);
            m_bandBlocks = p * static_cast<size_t>(b - t) / 64;
        }
        // Never compare past the frame, whatever rectangle came in.
        const size_t frameBytes = p * static_cast<size_t>(height);
        if (m_bandStart > frameBytes)
            m_bandStart = frameBytes;
        if (m_bandStart + m_bandBlocks * 64 > frameBytes)
            m_bandBlocks = (frameBytes - m_bandStart) / 64;
    }
    m_inner->SetUpdateRect(r);
}

void SlowFB::Present(int flags)
{
    if (!m_ramMode) {
        m_inner->Present(flags);
        return;
    }
    Surface* frame = m_inner->Lock();
    if (!frame)
        return;
    const int other = 1 - m_current;
    auto* dst = static_cast<uint32_t*>(static_cast<void*>(frame->pixels));
    uint32_t* cur = m_storage[m_current].data();
    uint32_t* old = m_storage[other].data();
    const bool keep = swapKind == 2;
    if (m_fullCopy || (flags & kPresentFullCopy)) {
        const size_t bytes = static_cast<size_t>(pitch) * height;
        std::memcpy(dst, cur, bytes);
        if (keep)
            std::memcpy(old, cur, bytes);
        m_fullCopy = false;
    } else {
        const size_t first = m_bandStart / 4, end = first + m_bandBlocks * 16;
        for (size_t block = first; block < end; block += 16) {
            for (size_t i = block; i < block + 16; ++i) {
                if (cur[i] != old[i]) {
                    dst[i] = cur[i];
                    if (keep)
                        old[i] = cur[i];
                }
            }
        }
    }
    m_current = other;
    m_inner->Present(flags);
}

void SlowFB::PrePresent()
{
    m_inner->PrePresent();
}

void SlowFB::Resume()
{
    m_fullCopy = true;
}

void SlowFB::Suspend()
{
    m_fullCopy = true;
}

void SlowFB::Refresh()
{
    m_fullCopy = true;
}

} // namespace ScreenHAL

#include "sound/sndWinMM.h"

#include "sound/sndResult.h"

#include "platform/DeviceProfile.h"

#include <cstdlib>
#include <cstring>
#include <initializer_list>

int sndWinMM::Open(const sndFormat& format, int frames, sndFillCallback fill, void* context)
{
    if (m_open)
        return sndErrAlreadyOpen;
    const int flags = format.flags;
    if (!fill || flags == 0 || ((flags & 0x01) && (flags & 0x10)) ||
        ((flags & 0x02) && (flags & 0x20)) || (format.channels != 1 && format.channels != 2))
        return sndErrArgument;
    if (format.rate <= 0 || frames < 0)
        return sndErrArgument; // a rate the device cannot take would give an empty ring
    const bool sixteen = (flags & 0x02) != 0;
    int count = static_cast<int>((static_cast<int64_t>(frames) * 1000 / format.rate) / 30);
    m_bufferCount = count < 4 ? 4 : (count > 32 ? 32 : count);
    m_frameBytes = static_cast<uint32_t>(format.channels * (sixteen ? 2 : 1));
    m_bufferBytes = static_cast<uint32_t>(
        (static_cast<int64_t>(m_frameBytes) * format.rate * 30 / 1000 + 7) & ~int64_t{7});
    const size_t total = static_cast<size_t>(m_bufferCount) * m_bufferBytes;
    m_memory = static_cast<uint8_t*>(std::malloc(total));
    m_headers = static_cast<WAVEHDR*>(std::calloc(m_bufferCount, sizeof(WAVEHDR)));
    if (!m_memory || !m_headers) {
        releaseAll();
        return sndErrNoData;
    }
    std::memset(m_memory, sixteen ? 0 : 128, total);
    m_fill = fill;
    m_context = context;

    m_format.wFormatTag = WAVE_FORMAT_PCM;
    m_format.nChannels = static_cast<WORD>(format.channels);
    m_format.nSamplesPerSec = static_cast<DWORD>(format.rate);
    m_format.wBitsPerSample = sixteen ? 16 : 8;
    m_format.nBlockAlign = static_cast<WORD>(format.channels * m_format.wBitsPerSample / 8);
    m_format.nAvgBytesPerSec = m_format.nSamplesPerSec * m_format.nBlockAlign;
    m_format.cbSize = 0;

    // The device is opened before the feeder thread exists, so a format no device takes leaves
    // no thread behind.
    const UINT devices = waveOutGetNumDevs();
    bool opened = false;
    for (UINT i = 0; i < devices && !opened; ++i)
        opened = waveOutOpen(&m_device, i, &m_format, reinterpret_cast<DWORD_PTR>(WaveOutCallback),
                             reinterpret_cast<DWORD_PTR>(this), CALLBACK_FUNCTION) == 0;
    if (!opened) {
        m_device = nullptr;
        releaseAll();
        return sndErrArgument;
    }
    waveOutPause(m_device);

    InitializeCriticalSection(&m_lock);
    m_semaphore = CreateSemaphoreW(nullptr, 0, m_bufferCount + 1, nullptr);
    m_stop = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    m_finished = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    m_thread = m_semaphore && m_stop && m_finished
                   ? CreateThread(nullptr, 0, FeederThread, this, CREATE_SUSPENDED, &m_threadId)
                   : nullptr;
    if (!m_thread) {
        waveOutClose(m_device);
        m_device = nullptr;
        DeleteCriticalSection(&m_lock);
        releaseAll();
        return sndErrNoThread;
    }
    SetThreadPriority(m_thread, THREAD_PRIORITY_HIGHEST);
    if (DWORD settle = SettleTime())
        Sleep(settle);

    for (int i = 0; i < m_bufferCount; ++i) {
        WAVEHDR& h = m_headers[i];
        std::memset(&h, 0, sizeof h);
        h.lpData = reinterpret_cast<char*>(m_memory + static_cast<size_t>(i) * m_bufferBytes);
        h.dwBufferLength = m_bufferBytes;
        waveOutPrepareHeader(m_device, &h, sizeof h);
        waveOutWrite(m_device, &h, sizeof h);
    }
    m_next = 0;
    m_open = true;
    m_paused = true;
    return 0;
}

DWORD sndWinMM::SettleTime() const
{
    if (m_settleMs >= 0)
        return static_cast<DWORD>(m_settleMs);
    return platform::DeviceProfile::current().audio == platform::AudioMode::Manual ? 0 : 100;
}

void sndWinMM::releaseAll()
{
    for (HANDLE* h : {&m_thread, &m_semaphore, &m_stop, &m_finished}) {
        if (*h)
            CloseHandle(*h);
        *h = nullptr;
    }
    std::free(m_headers);
    std::free(m_memory);
    m_headers = nullptr;
    m_memory = nullptr;
}

namespace {
constexpr DWORD kStopTurnMillis = 10;
}

int sndWinMM::Close()
{
    if (!m_open)
        return sndErrNotOpen;
    EnterCriticalSection(&m_lock);
    while (ResumeThread(m_thread) > 1) {
    }
    SetEvent(m_stop);
    LeaveCriticalSection(&m_lock);
    // Waiting in short turns rather than for ever lets time pass for the feeder on a clock that
    // moves only by the program's own waits: its timed waits end, and it sees the stop.
    while (WaitForSingleObject(m_finished, kStopTurnMillis) == WAIT_TIMEOUT) {
    }
    // The thread has ended; its handle tells when it is fully gone.
    while (WaitForSingleObject(m_thread, kStopTurnMillis) == WAIT_TIMEOUT) {
    }
    if (DWORD settle = SettleTime())
        Sleep(settle);

    // Reset whatever was played or not, so every header comes back before it is unprepared.
    waveOutReset(m_device);
    for (int i = 0; i < m_bufferCount; ++i)
        waveOutUnprepareHeader(m_device, &m_headers[i], sizeof(WAVEHDR));
    int result = 0;
    if (waveOutClose(m_device) != 0) {
        // The device may still touch the buffers: keep them rather than free them under it.
        m_headers = nullptr;
        m_memory = nullptr;
        result = -1;
    }
    m_device = nullptr;
    releaseAll();
    DeleteCriticalSection(&m_lock);
    m_open = false;
    m_paused = false;
    return result;
}

void sndWinMM::Lock()
{
    if (m_open)
        EnterCriticalSection(&m_lock);
}

void sndWinMM::Unlock()
{
    if (m_open)
        LeaveCriticalSection(&m_lock);
}

void sndWinMM::Pause()
{
    if (!m_open || m_paused)
        return;
    EnterCriticalSection(&m_lock);
    waveOutPause(m_device);
    SuspendThread(m_thread);
    m_paused = true;
    LeaveCriticalSection(&m_lock);
}

void sndWinMM::Resume()
{
    if (!m_open || !m_paused)
        return;
    EnterCriticalSection(&m_lock);
    ResumeThread(m_thread);
    waveOutRestart(m_device);
    m_paused = false;
    LeaveCriticalSection(&m_lock);
}

void sndWinMM::WaveOutCallback(HWAVEOUT, UINT message, DWORD_PTR instance, DWORD_PTR, DWORD_PTR)
{
    if (message == WOM_DONE && instance)
        ReleaseSemaphore(reinterpret_cast<sndWinMM*>(instance)->m_semaphore, 1, nullptr);
}

DWORD sndWinMM::FeederThread(LPVOID param)
{
    auto* self = static_cast<sndWinMM*>(param);
    while (WaitForSingleObject(self->m_stop, 1) == WAIT_TIMEOUT) {
        while (WaitForSingleObject(self->m_semaphore, 3) == WAIT_OBJECT_0) {
            EnterCriticalSection(&self->m_lock);
            WAVEHDR& h = self->m_headers[self->m_next];
            char* buffer = reinterpret_cast<char*>(self->m_memory) +
                           static_cast<size_t>(self->m_next) * self->m_bufferBytes;
            self->m_fill(self->m_context, buffer, self->m_bufferBytes);
            waveOutUnprepareHeader(self->m_device, &h, sizeof h);
            std::memset(&h, 0, sizeof h);
            h.lpData = buffer;
            h.dwBufferLength = self->m_bufferBytes;
            waveOutPrepareHeader(self->m_device, &h, sizeof h);
            waveOutWrite(self->m_device, &h, sizeof h);
            self->m_next = (self->m_next + 1) % self->m_bufferCount;
            LeaveCriticalSection(&self->m_lock);
        }
    }
    SetEvent(self->m_finished);
    return 0;
}

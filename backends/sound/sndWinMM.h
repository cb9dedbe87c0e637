// The waveOut output driver: a ring of 30 ms buffers kept queued on the device and a feeder
// thread that refills each buffer the device hands back.
#pragma once

#include "sound/sndDriver.h"

#include "platform/threads.h"
#include "platform/waveout.h"

class sndWinMM : public sndDriver
{
  public:
    sndWinMM() = default;
    ~sndWinMM() override = default;

    int Open(const sndFormat& format, int frames, sndFillCallback fill, void* context) override;
    int Close() override;
    void Lock() override;
    void Unlock() override;
    void Pause() override;
    void Resume() override;

    // The pause after starting and stopping the feeder thread. Real devices want it; by default
    // it is skipped on the manual test device, whose buffers move only when a test pumps them.
    void SetSettleTime(DWORD ms) { m_settleMs = static_cast<int>(ms); }
    DWORD SettleTime() const;

    bool IsOpen() const { return m_open; }
    bool IsPaused() const { return m_paused; }
    int BufferCount() const { return m_bufferCount; }
    uint32_t BufferBytes() const { return m_bufferBytes; }
    HWAVEOUT Device() const { return m_device; }

    static void WaveOutCallback(HWAVEOUT h, UINT message, DWORD_PTR instance, DWORD_PTR p1,
                                DWORD_PTR p2);

  private:
    static DWORD FeederThread(LPVOID self);
    void releaseAll();

    HWAVEOUT m_device = nullptr;
    WAVEFORMATEX m_format{};
    sndFillCallback m_fill = nullptr;
    void* m_context = nullptr;
    HANDLE m_thread = nullptr;
    DWORD m_threadId = 0;
    int m_bufferCount = 0;
    uint32_t m_frameBytes = 0;
    uint32_t m_bufferBytes = 0;
    uint8_t* m_memory = nullptr;
    WAVEHDR* m_headers = nullptr;
    int m_next = 0;
    CRITICAL_SECTION m_lock{};
    HANDLE m_semaphore = nullptr;
    HANDLE m_stop = nullptr;
    HANDLE m_finished = nullptr;
    bool m_open = false;
    bool m_paused = false;
    int m_settleMs = -1; // -1: by the audio back-end
};

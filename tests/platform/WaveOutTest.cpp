#include "platform/waveout.h"
#include "platform/DeviceProfile.h"
#include "platform/testing/ManualWaveOut.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

struct Log
{
    std::vector<std::pair<UINT, WAVEHDR*>> messages;
};

void record(HWAVEOUT, UINT message, DWORD_PTR instance, DWORD_PTR p1, DWORD_PTR)
{
    reinterpret_cast<Log*>(instance)->messages.emplace_back(message,
                                                            reinterpret_cast<WAVEHDR*>(p1));
}

WAVEFORMATEX pcm(WORD channels, DWORD rate, WORD bits)
{
    WAVEFORMATEX f{};
    f.wFormatTag = WAVE_FORMAT_PCM;
    f.nChannels = channels;
    f.nSamplesPerSec = rate;
    f.wBitsPerSample = bits;
    f.nBlockAlign = static_cast<WORD>(channels * bits / 8);
    f.nAvgBytesPerSec = rate * f.nBlockAlign;
    return f;
}

struct WaveOutManual : ::testing::Test
{
    void SetUp() override
    {
        platform::DeviceProfile::current().audio = platform::AudioMode::Manual;
        platform::setManualWaveOutConfig({});
    }
    void TearDown() override
    {
        platform::DeviceProfile::current().audio = platform::AudioMode::Sdl;
    }
};

} // namespace

TEST_F(WaveOutManual, RefusesFormatsItCannotPlay)
{
    HWAVEOUT h = nullptr;
    WAVEFORMATEX bad[] = {pcm(3, 44100, 16), pcm(2, 44100, 24), pcm(1, 4000, 8),
                          pcm(2, 0xFFFFFFFF, 16)};
    for (auto& f : bad)
        EXPECT_EQ(WAVERR_BADFORMAT, waveOutOpen(&h, 0, &f, 0, 0, CALLBACK_FUNCTION));
    WAVEFORMATEX skewed = pcm(2, 44100, 16);
    skewed.nAvgBytesPerSec = 1;
    EXPECT_EQ(WAVERR_BADFORMAT, waveOutOpen(&h, 0, &skewed, 0, 0, CALLBACK_FUNCTION));
    WAVEFORMATEX good = pcm(2, 44100, 16);
    EXPECT_EQ(MMSYSERR_INVALPARAM, waveOutOpen(&h, 0, &good, 0, 0, 0x10000));
    EXPECT_EQ(MMSYSERR_BADDEVICEID, waveOutOpen(&h, 1, &good, 0, 0, CALLBACK_FUNCTION));
    EXPECT_EQ(MMSYSERR_INVALHANDLE, waveOutClose(nullptr));
}

TEST_F(WaveOutManual, RefusesConfiguredRatesAndChannelsAndCountsOpens)
{
    platform::ManualWaveOutConfig c;
    c.refusedRate = 22050;
    c.refusedChannels = 1;
    platform::setManualWaveOutConfig(c);
    HWAVEOUT h = nullptr;
    WAVEFORMATEX rate = pcm(2, 22050, 16), mono = pcm(1, 44100, 16), good = pcm(2, 44100, 8);
    EXPECT_EQ(WAVERR_BADFORMAT, waveOutOpen(&h, 0, &rate, 0, 0, CALLBACK_FUNCTION));
    EXPECT_EQ(WAVERR_BADFORMAT, waveOutOpen(&h, 0, &mono, 0, 0, CALLBACK_FUNCTION));
    ASSERT_EQ(MMSYSERR_NOERROR, waveOutOpen(&h, 0, &good, 0, 0, CALLBACK_FUNCTION));
    EXPECT_EQ(3u, platform::manualWaveOutOpenAttempts());
    EXPECT_EQ(MMSYSERR_NOERROR, waveOutClose(h));
    platform::setManualWaveOutConfig({});
    EXPECT_EQ(0u, platform::manualWaveOutOpenAttempts());
}

TEST_F(WaveOutManual, HeaderStatesDoneOrderPauseResetAndPosition)
{
    Log log;
    HWAVEOUT h = nullptr;
    WAVEFORMATEX f = pcm(1, 8000, 8);
    ASSERT_EQ(MMSYSERR_NOERROR, waveOutOpen(&h, 0, &f, reinterpret_cast<DWORD_PTR>(record),
                                            reinterpret_cast<DWORD_PTR>(&log), CALLBACK_FUNCTION));
    ASSERT_EQ(1u, log.messages.size());
    EXPECT_EQ(WOM_OPEN, log.messages[0].first);
    log.messages.clear();

    char data[3][100];
    WAVEHDR hdr[3] = {};
    for (int i = 0; i < 3; ++i) {
        std::memset(data[i], 10 + i, 100);
        hdr[i].lpData = data[i];
        hdr[i].dwBufferLength = 100;
        EXPECT_EQ(WAVERR_UNPREPARED, waveOutWrite(h, &hdr[i], sizeof(WAVEHDR)));
        EXPECT_EQ(MMSYSERR_NOERROR, waveOutPrepareHeader(h, &hdr[i], sizeof(WAVEHDR)));
        EXPECT_EQ(MMSYSERR_NOERROR, waveOutWrite(h, &hdr[i], sizeof(WAVEHDR)));
        EXPECT_EQ(WHDR_PREPARED | WHDR_INQUEUE, hdr[i].dwFlags);
    }
    WAVEHDR empty{};
    EXPECT_EQ(MMSYSERR_INVALPARAM, waveOutPrepareHeader(h, &empty, sizeof empty));
    EXPECT_EQ(WAVERR_STILLPLAYING, waveOutUnprepareHeader(h, &hdr[0], sizeof(WAVEHDR)));
    EXPECT_EQ(WAVERR_STILLPLAYING, waveOutClose(h));

    uint8_t out[150];
    EXPECT_EQ(150u, platform::manualWaveOutPump(h, out, 150));
    EXPECT_EQ(10, out[0]);
    EXPECT_EQ(11, out[149]);
    ASSERT_EQ(1u, log.messages.size());
    EXPECT_EQ(WOM_DONE, log.messages[0].first);
    EXPECT_EQ(&hdr[0], log.messages[0].second);
    EXPECT_EQ(WHDR_PREPARED | WHDR_DONE, hdr[0].dwFlags);

    MMTIME t{};
    t.wType = TIME_MS;
    waveOutGetPosition(h, &t, sizeof t);
    EXPECT_EQ(150u * 1000 / 8000, t.u.ms);
    t.wType = 99;
    waveOutGetPosition(h, &t, sizeof t);
    EXPECT_EQ(TIME_BYTES, t.wType);
    EXPECT_EQ(150u, t.u.cb);

    waveOutPause(h);
    waveOutPause(h);
    EXPECT_EQ(0u, platform::manualWaveOutPump(h, out, 50));
    EXPECT_EQ(0x80, out[0]); // silence while paused
    waveOutRestart(h);
    EXPECT_EQ(50u, platform::manualWaveOutPump(h, out, 50));
    EXPECT_EQ(2u, log.messages.size());
    EXPECT_EQ(&hdr[1], log.messages[1].second);

    waveOutReset(h);
    ASSERT_EQ(3u, log.messages.size());
    EXPECT_EQ(&hdr[2], log.messages[2].second);
    waveOutGetPosition(h, &t, sizeof t);
    EXPECT_EQ(0u, t.u.cb);
    for (auto& hd : hdr)
        EXPECT_EQ(MMSYSERR_NOERROR, waveOutUnprepareHeader(h, &hd, sizeof(WAVEHDR)));
    EXPECT_EQ(0u, hdr[2].dwFlags & WHDR_PREPARED);
    EXPECT_EQ(MMSYSERR_NOERROR, waveOutClose(h));
    EXPECT_EQ(WOM_CLOSE, log.messages.back().first);
}

TEST(WaveOutSdl, DummyDriverSmoke)
{
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    platform::DeviceProfile::current().audio = platform::AudioMode::Sdl;
    if (waveOutGetNumDevs() == 0)
        GTEST_SKIP() << "no SDL audio driver";
    Log log;
    HWAVEOUT h = nullptr;
    WAVEFORMATEX f = pcm(2, 44100, 16);
    ASSERT_EQ(MMSYSERR_NOERROR, waveOutOpen(&h, 0, &f, reinterpret_cast<DWORD_PTR>(record),
                                            reinterpret_cast<DWORD_PTR>(&log), CALLBACK_FUNCTION));
    std::vector<char> buf(4096, 0);
    WAVEHDR hdr{};
    hdr.lpData = buf.data();
    hdr.dwBufferLength = static_cast<DWORD>(buf.size());
    waveOutPrepareHeader(h, &hdr, sizeof hdr);
    waveOutWrite(h, &hdr, sizeof hdr);
    waveOutReset(h);
    EXPECT_EQ(WHDR_DONE, hdr.dwFlags & (WHDR_DONE | WHDR_INQUEUE));
    waveOutUnprepareHeader(h, &hdr, sizeof hdr);
    EXPECT_EQ(MMSYSERR_NOERROR, waveOutClose(h));
}

#include "SoundData.h"

#include "sound/sndSound.h"
#include "sound/sndSpeaker.h"
#include "sound/sndWinMM.h"

#include "platform/DeviceProfile.h"
#include "platform/HandleTable.h"
#include "platform/testing/ManualWaveOut.h"
#include "platform/testing/ThreadFaults.h"
#include "platform/threads.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

using namespace soundtest;

namespace {

struct ManualDevice : ::testing::Test
{
    void SetUp() override
    {
        platform::DeviceProfile::current().audio = platform::AudioMode::Manual;
        platform::setManualWaveOutConfig({});
    }
    void TearDown() override
    {
        platform::setManualWaveOutConfig({});
        platform::DeviceProfile::current().audio = platform::AudioMode::Sdl;
    }
};

void silentFill(void*, void* buffer, uint32_t bytes)
{
    std::memset(buffer, 0x55, bytes);
}

// Waits until the feeder thread has queued every buffer again.
bool waitQueued(HWAVEOUT h, size_t n)
{
    for (int i = 0; i < 2000; ++i) {
        if (platform::manualWaveOutQueued(h) == n)
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return false;
}

} // namespace

TEST_F(ManualDevice, RingSizes)
{
    struct Case
    {
        int rate, flags, channels, ms, count;
        uint32_t bytes;
    } cases[] = {{44100, 0x12, 2, 180, 6, 5296},
                 {44100, 0x12, 2, 60, 4, 5296},
                 {44100, 0x12, 2, 2000, 32, 5296},
                 {22050, 0x21, 1, 180, 6, 664}};
    for (const Case& c : cases) {
        sndWinMM d;
        d.SetSettleTime(0);
        sndFormat f{c.rate, c.flags, c.channels};
        ASSERT_EQ(0, d.Open(f, c.rate * c.ms / 1000, silentFill, nullptr));
        EXPECT_EQ(c.count, d.BufferCount());
        EXPECT_EQ(c.bytes, d.BufferBytes());
        EXPECT_EQ(static_cast<size_t>(c.count), platform::manualWaveOutQueued(d.Device()));
        EXPECT_TRUE(platform::manualWaveOutPaused(d.Device()));
        EXPECT_EQ(-2, d.Open(f, 100, silentFill, nullptr));
        // Closed before it ever played: every header comes back and the device closes.
        EXPECT_EQ(0, d.Close());
        EXPECT_EQ(nullptr, platform::manualWaveOutDevice());
        EXPECT_EQ(-3, d.Close());
    }
}

TEST_F(ManualDevice, BadArgumentsAndRefusedFormatsLeaveNothingBehind)
{
    sndWinMM d;
    d.SetSettleTime(0);
    EXPECT_EQ(-1, d.Open({44100, 0x12, 2}, 100, nullptr, nullptr));
    EXPECT_EQ(-1, d.Open({44100, 0x11, 2}, 100, silentFill, nullptr));
    EXPECT_EQ(-1, d.Open({44100, 0x22, 2}, 100, silentFill, nullptr));
    EXPECT_EQ(-1, d.Open({44100, 0x12, 3}, 100, silentFill, nullptr));
    EXPECT_EQ(-1, d.Open({-1, 0x12, 2}, 100, silentFill, nullptr));
    const size_t handles = platform::HandleTable::openCount();
    platform::ManualWaveOutConfig refuse;
    refuse.refuseAllFormats = true;
    platform::setManualWaveOutConfig(refuse);
    EXPECT_EQ(-1, d.Open({44100, 0x12, 2}, 8000, silentFill, nullptr));
    EXPECT_EQ(handles, platform::HandleTable::openCount());
    platform::ManualWaveOutConfig none;
    none.deviceCount = 0;
    platform::setManualWaveOutConfig(none);
    EXPECT_EQ(-1, d.Open({44100, 0x12, 2}, 8000, silentFill, nullptr));
    // No feeder thread: the device opened for it is closed again.
    platform::setManualWaveOutConfig({});
    platform::setThreadCreationFails(true);
    EXPECT_EQ(-4, d.Open({44100, 0x12, 2}, 8000, silentFill, nullptr));
    platform::setThreadCreationFails(false);
    EXPECT_EQ(nullptr, platform::manualWaveOutDevice());
    EXPECT_FALSE(d.IsOpen());
    EXPECT_EQ(handles, platform::HandleTable::openCount());
    // Device 0 refuses, device 1 takes it.
    platform::ManualWaveOutConfig second;
    second.deviceCount = 2;
    second.failDeviceZero = true;
    platform::setManualWaveOutConfig(second);
    ASSERT_EQ(0, d.Open({44100, 0x12, 2}, 8000, silentFill, nullptr));
    EXPECT_EQ(0, d.Close());
    EXPECT_EQ(handles, platform::HandleTable::openCount());
}

TEST_F(ManualDevice, FeederRefillsEachFinishedBufferWithTheMix)
{
    sndSpeaker speaker;
    auto* driver = new sndWinMM;
    driver->SetSettleTime(0);
    ASSERT_EQ(0, speaker.OpenWith(driver, 22050, 16, 0, 1, 8));
    HWAVEOUT h = driver->Device();
    ASSERT_NE(nullptr, h);
    EXPECT_FALSE(platform::manualWaveOutPaused(h));
    const size_t count = static_cast<size_t>(driver->BufferCount());
    std::vector<int16_t> buf(driver->BufferBytes() / 2);

    // The first ring is silence written at open.
    sndSound snd;
    std::vector<uint8_t> pcm;
    for (int i = 0; i < 4000; ++i)
        put16(pcm, 256);
    auto w = wav(1, 1, 22050, 16, pcm);
    ASSERT_EQ(0, snd.Load(w.data(), w.size()));
    speaker.Lock();
    ASSERT_GE(speaker.PlaySound(snd), 1);
    speaker.Unlock();
    for (size_t i = 0; i < count; ++i) {
        ASSERT_EQ(driver->BufferBytes(),
                  platform::manualWaveOutPumpBuffer(h, buf.data(), buf.size() * 2));
        ASSERT_TRUE(waitQueued(h, count));
    }
    // Now the refilled buffers come round: 256 x 64 >> 7 = 128.
    ASSERT_EQ(driver->BufferBytes(),
              platform::manualWaveOutPumpBuffer(h, buf.data(), buf.size() * 2));
    EXPECT_EQ(128, buf[0]);
    EXPECT_EQ(128, buf[buf.size() - 1]);

    // Paused: the device plays nothing and the feeder stops at its next wait.
    driver->Pause();
    driver->Pause();
    EXPECT_TRUE(platform::manualWaveOutPaused(h));
    EXPECT_EQ(0u, platform::manualWaveOutPumpBuffer(h, buf.data(), buf.size() * 2));
    driver->Resume();
    driver->Resume();
    EXPECT_FALSE(platform::manualWaveOutPaused(h));
    ASSERT_TRUE(waitQueued(h, count));
    // Close while buffers are queued and partly played.
    platform::manualWaveOutPump(h, nullptr, 10);
    EXPECT_EQ(0, speaker.Close());
    EXPECT_EQ(nullptr, platform::manualWaveOutDevice());
}

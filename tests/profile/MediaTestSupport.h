// The media tests' fixture: the manual audio device, a fresh sound system for every test, and
// streams of WAV and MOD data built in the test.
#pragma once

#include "../backends/sound/SoundData.h"

#include "io/DByteArrayInputStream.h"
#include "microedition/media/MediaManager.h"
#include "platform/DeviceProfile.h"
#include "platform/HandleTable.h"
#include "platform/testing/ManualWaveOut.h"
#include "platform/waveout.h"
#include "sound/sndSpeaker.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

namespace mediatest {

inline qev::io::DInputStreamPtr streamOf(const std::vector<uint8_t>& bytes)
{
    qev::lang::DbyteArrayPtr a = new qev::lang::DbyteArray(static_cast<int32_t>(bytes.size()));
    for (size_t i = 0; i < bytes.size(); ++i)
        (*a)[static_cast<int32_t>(i)] = static_cast<int8_t>(bytes[i]);
    return qev::io::DInputStreamPtr(new qev::io::DByteArrayInputStream(a));
}

// A 16-bit mono 44100 Hz sample of `frames` frames of a constant value.
inline std::vector<uint8_t> wavBytes(int frames, int16_t value = 1000)
{
    std::vector<uint8_t> pcm;
    for (int i = 0; i < frames; ++i)
        soundtest::put16(pcm, static_cast<uint16_t>(value));
    return soundtest::wav(1, 1, 44100, 16, pcm);
}

// A 4-track song of two orders with one note.
inline std::vector<uint8_t> modBytes()
{
    soundtest::ModSample s;
    s.data.assign(256, 40);
    s.loopLengthWords = 128;
    soundtest::Mod mod(4, {0, 0}, 1, {s});
    mod.cell(0, 0, 0, 1, 428, 0, 0);
    return mod.bytes;
}

struct MediaFixture : ::testing::Test
{
    void SetUp() override
    {
        platform::DeviceProfile::current().audio = platform::AudioMode::Manual;
        platform::setManualWaveOutConfig({});
        qev::microedition::media::resetSound();
        handles = platform::HandleTable::openCount();
    }
    void TearDown() override
    {
        qev::microedition::media::resetSound();
        qev::microedition::media::setSoundPropertyReader(nullptr);
        EXPECT_EQ(nullptr, platform::manualWaveOutDevice());
        EXPECT_EQ(handles, platform::HandleTable::openCount());
        platform::setManualWaveOutConfig({});
        platform::DeviceProfile::current().audio = platform::AudioMode::Sdl;
    }

    // Plays one buffer on the device and waits until the feeder thread has mixed its successor.
    static void mixOneBuffer()
    {
        HWAVEOUT h = platform::manualWaveOutDevice();
        ASSERT_NE(nullptr, h);
        const size_t queued = platform::manualWaveOutQueued(h);
        ASSERT_GT(platform::manualWaveOutPumpBuffer(h, nullptr, 0), 0u);
        for (int i = 0; i < 2000 && platform::manualWaveOutQueued(h) != queued; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        ASSERT_EQ(queued, platform::manualWaveOutQueued(h));
    }

    size_t handles = 0;
};

} // namespace mediatest

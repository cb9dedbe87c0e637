// A speaker without output that plays one song, and the song's square-wave sample.
#pragma once

#include "SoundData.h"

#include "sound/sndMusic.h"
#include "sound/sndSpeaker.h"

#include <gtest/gtest.h>

namespace soundtest {

inline ModSample square()
{
    ModSample s;
    s.data.assign(64, 0);
    for (size_t i = 0; i < s.data.size(); ++i)
        s.data[i] = i % 8 < 4 ? 100 : -100;
    s.loopLengthWords = 32;
    return s;
}

struct Player
{
    sndSpeaker speaker;
    sndMusic music;
    sndMusicChannel* ch = nullptr;

    explicit Player(Mod& mod, bool loop = false, int stereo = 1)
    {
        EXPECT_EQ(0, speaker.OpenWith(nullptr, 44100, 16, stereo, 1, 8));
        EXPECT_EQ(0, music.Load(mod.bytes.data(), mod.bytes.size()));
        music.loop = loop;
        EXPECT_EQ(0, speaker.PlayMusic(music));
        ch = speaker.MusicChannel(0);
    }
    // Mixes `frames` output frames and returns them.
    std::vector<int16_t> run(int frames)
    {
        std::vector<int16_t> buf(static_cast<size_t>(frames) * (speaker.IsStereo() ? 2 : 1));
        speaker.Mix(buf.data(), static_cast<uint32_t>(buf.size() * 2));
        return buf;
    }
    // Frames from the start of a row at speed s: the row sample plus s ticks of 883 samples.
    static int rowFrames(int speed) { return 1 + speed * 883; }
};

} // namespace soundtest

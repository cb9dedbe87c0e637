// A song loaded from a MOD file: an owned copy of the image the MOD player reads directly.
#pragma once

#include <cstddef>
#include <cstdint>

class sndMusic
{
  public:
    sndMusic() = default;
    virtual ~sndMusic();
    sndMusic(const sndMusic&) = delete;
    sndMusic& operator=(const sndMusic&) = delete;

    // 0, or -10 (null/no memory) or -100 (unknown signature, or the file is shorter than its
    // patterns and samples say).
    int Load(const uint8_t* bytes, size_t size);
    void Free();
    // Track count from the 4 signature bytes, 0 when unknown.
    static int GetChannelCount(const uint8_t* signature);
    int GetChannelCount() const { return data ? GetChannelCount(data + 1080) : 0; }

    uint8_t* data = nullptr;
    size_t size = 0;
    int volume = 64;
    uint8_t loop = 0;
    int separation = 255;
    uint32_t rate = 44100;
    uint32_t rateFactor = 44100;
    uint8_t ownsData = 0;
};

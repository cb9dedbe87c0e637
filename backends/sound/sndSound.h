// A sample loaded from a WAV file (PCM 8/16-bit or MS-ADPCM), kept as PCM for the mixer.
#pragma once

#include <cstddef>
#include <cstdint>

class sndSound
{
  public:
    sndSound() = default;
    virtual ~sndSound();
    sndSound(const sndSound&) = delete;
    sndSound& operator=(const sndSound&) = delete;

    // Copies the WAV image into owned PCM. 0, or -10 (null/no memory), -100 (unsupported or
    // damaged), -300 (no "fmt " chunk at offset 12).
    int Load(const uint8_t* bytes, size_t size);
    void Free();

    uint8_t* data = nullptr;
    uint8_t is8Bit = 0;
    uint8_t stereo = 0;
    uint32_t rate = 0;
    uint32_t frames = 0;
    int volume = 64;
    uint8_t loop = 0;
    int pan = 128;
    int instanceLimit = -1;
    uint32_t playbackRate = 0;
    uint8_t ownsData = 0;

  private:
    int decodeAdpcm(const uint8_t* bytes, size_t size, const uint8_t* pcm, size_t pcmSize);
};

// Abstract sound output driver: opens the device and calls the fill callback for every buffer.
#pragma once

#include <cstdint>

struct sndFormat
{
    int rate = 44100;
    int flags = 0x12; // 0x01 8-bit, 0x02 16-bit, 0x10 signed, 0x20 unsigned
    int channels = 2;
};

typedef void (*sndFillCallback)(void* context, void* buffer, uint32_t bytes);

class sndDriver
{
  public:
    virtual ~sndDriver() = default;
    virtual int Open(const sndFormat& format, int frames, sndFillCallback fill, void* context) = 0;
    virtual int Close() = 0;
    virtual void Lock() = 0;
    virtual void Unlock() = 0;
    virtual void Pause() = 0;
    virtual void Resume() = 0;
};

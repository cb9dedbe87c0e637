// Common base of the speaker's sound and music channels.
#pragma once

#include <atomic>
#include <cstdint>

class sndSpeaker;

class sndChannel
{
  public:
    virtual ~sndChannel() = default;
    virtual void setVolume(int v) = 0;
    virtual void setPan(int v) = 0;
    virtual int getPosition() = 0;
    virtual void setPosition(int v) = 0;
    virtual int getLength() = 0;

    sndSpeaker* speaker = nullptr;
    // Written whole by the game thread while the feeder thread mixes.
    std::atomic<uint8_t> stopped{1};
    std::atomic<uint8_t> paused{0};

    bool isActive() const
    {
        return !stopped.load(std::memory_order_relaxed) && !paused.load(std::memory_order_relaxed);
    }
};

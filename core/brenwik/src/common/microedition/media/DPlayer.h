// The framework's media player: plays one sound on a mixer channel, claims the channel in the
// player table when it starts and keeps the claim while stopped (the channel paused).
#pragma once

#include "io/DInputStream.h"
#include "lang/DString.h"

#include <cstdint>

class sndChannel;
class sndSpeaker;

namespace qev::microedition::media {

class DPlayer;
using DPlayerPtr = qev::lang::DPtr<DPlayer>;

class DPlayer : public qev::lang::DObject
{
  public:
    static constexpr int32_t CLOSED = 0;
    static constexpr int32_t UNREALIZED = 100;
    static constexpr int32_t REALIZED = 200;
    static constexpr int32_t PREFETCHED = 300;
    static constexpr int32_t STARTED = 400;
    static constexpr int32_t KIND_WAV = 0;
    static constexpr int32_t KIND_MOD = 1;

    ~DPlayer() override;
    const char* getClassName() override { return "DPlayer"; }

    virtual void close();
    virtual void deallocate();
    virtual qev::lang::DStringPtr getContentType() = 0;
    virtual int32_t getState();
    virtual void prefetch();
    virtual void realize();
    virtual void setLoopCount(int32_t count);
    // The player that now plays (this one, or a copy when this one already plays), or null.
    virtual DPlayerPtr start();
    virtual void stop();
    virtual int64_t getDuration();
    virtual int64_t getMediaTime();
    // 0, or -1 when refused.
    virtual int32_t setMediaTime(int32_t time);
    virtual int32_t getVolume();
    virtual void setVolume(int32_t volume);
    virtual int32_t getPan();
    virtual void setPan(int32_t pan);
    // Also gives up the claim on a channel that finished, was paused by someone else or was
    // taken by another player.
    virtual bool isPlaying();

    int32_t kind;
    qev::io::DInputStreamPtr stream;
    int32_t state = UNREALIZED;
    int32_t channel = -1;
    int32_t loopCount = 1;
    qev::lang::DObjectPtr source;

  protected:
    DPlayer(int32_t kind, qev::io::DInputStreamPtr stream);

    // The kind's part: its source, the mixer's play call and its channel fields.
    virtual qev::lang::DObjectPtr makeSource() = 0;
    virtual bool loadSource(qev::io::DInputStreamPtr stream) = 0;
    virtual bool sourceLoaded() = 0;
    virtual int playOnMixer(sndSpeaker& mixer) = 0;
    virtual DPlayerPtr makeCopy() = 0;
    virtual void setChannelLoop(sndChannel& channel, bool loop) = 0;
    virtual int32_t channelVolume(sndChannel& channel) = 0;

    // The channel record of `channel`, starting the sound system first when it is not; null for
    // no channel or no mixer.
    sndChannel* channelRecord();
    // Whether the table entry at `channel` is this player; false without a table.
    bool claimed();
    void giveUpClaim();
    // A stopped player whose channel another player has claimed since no longer holds it.
    void dropLostClaim();
};

} // namespace qev::microedition::media

// A player of MOD songs on the mixer's music channels.
#pragma once

#include "microedition/media/DPlayer.h"

namespace qev::microedition::media {

class DPlayerMod : public DPlayer
{
  public:
    explicit DPlayerMod(qev::io::DInputStreamPtr stream);
    const char* getClassName() override { return "DPlayerMod"; }

    qev::lang::DStringPtr getContentType() override;
    // 0 and negative times rewind; positive ones are refused.
    int32_t setMediaTime(int32_t time) override;

  protected:
    qev::lang::DObjectPtr makeSource() override;
    bool loadSource(qev::io::DInputStreamPtr stream) override;
    bool sourceLoaded() override;
    int playOnMixer(sndSpeaker& mixer) override;
    DPlayerPtr makeCopy() override;
    void setChannelLoop(sndChannel& channel, bool loop) override;
    int32_t channelVolume(sndChannel& channel) override;
};

} // namespace qev::microedition::media

// A player of WAV samples on the mixer's sound channels.
#pragma once

#include "microedition/media/DPlayer.h"

namespace qev::microedition::media {

class DPlayerWav : public DPlayer
{
  public:
    explicit DPlayerWav(qev::io::DInputStreamPtr stream);
    const char* getClassName() override { return "DPlayerWav"; }

    qev::lang::DStringPtr getContentType() override;
    // Only 0 (back to the start) is accepted.
    int32_t setMediaTime(int32_t time) override;
    // The channel's pan - 128 (-128..127).
    int32_t getPan() override;
    void setPan(int32_t pan) override;

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

// The decoded data of a player, shared by the copies that play the same sound at once.
#pragma once

#include "io/DInputStream.h"
#include "sound/sndMusic.h"
#include "sound/sndSound.h"

namespace qev::microedition::media {

class DPlayerSourceWav : public qev::lang::DObject
{
  public:
    const char* getClassName() override { return "DPlayerSourceWav"; }
    // Reads all the stream has and loads it as a WAV sample; false when it cannot.
    bool load(qev::io::DInputStreamPtr stream);

    sndSound sound;
    uint8_t loaded = 0;
};

class DPlayerSourceMod : public qev::lang::DObject
{
  public:
    const char* getClassName() override { return "DPlayerSourceMod"; }
    // Reads all the stream has and loads it as a MOD song; false when it cannot.
    bool load(qev::io::DInputStreamPtr stream);

    sndMusic music;
    uint8_t loaded = 0;
};

using DPlayerSourceWavPtr = qev::lang::DPtr<DPlayerSourceWav>;
using DPlayerSourceModPtr = qev::lang::DPtr<DPlayerSourceMod>;

} // namespace qev::microedition::media

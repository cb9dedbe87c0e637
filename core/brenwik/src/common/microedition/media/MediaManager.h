// The program's one mixer, started from the sound properties, the player table, the player
// factory and the operations on all channels at once.
#pragma once

#include "io/DInputStream.h"
#include "lang/DString.h"
#include "microedition/media/DPlayer.h"
#include "microedition/media/DPlayerArray.h"

class sndSpeaker;

namespace qev::microedition::media {

// Opens the mixer from the sound properties, with fall-backs; nothing once started. After a
// failure, further calls give up at once for a few seconds instead of trying every format again.
void startSound();
// A player for "audio/x-wav" or "audio/mod", null for another type. A null stream throws
// IllegalArgumentException, a null type MediaException.
DPlayerPtr createPlayer(qev::io::DInputStreamPtr stream, qev::lang::DStringPtr type);

void stopAllChannels();
void pauseAllChannels();
void resumeAllChannels();
// Master volumes, 0..64 (anything else gives 64); every channel of the kind follows at once.
void setSfxVolume(int32_t v);
int32_t getSfxVolume();
void setMusicVolume(int32_t v);
int32_t getMusicVolume();

// The open mixer, or null (not started, or every open failed).
sndSpeaker* soundMixer();
// The player table; null until the sound system started.
DPlayerArrayPtr playerTable();
bool soundStarted();

// For the host at exit: stops every channel, closes and deletes the mixer and releases the table.
// The sound system does not start again.
void shutdownSound();
// Back to the state before the first start (tests).
void resetSound();

// Where startSound reads its integer properties; null restores DSystem::getIntProperty (tests).
using IntPropertyReader = int32_t (*)(qev::lang::DStringPtr key);
void setSoundPropertyReader(IntPropertyReader reader);

// How long a failed start keeps further starts from trying again.
constexpr int64_t kSoundRetryMillis = 5000;

} // namespace qev::microedition::media

// The sounds and music of the running game, loaded as one bank and played by index, with the
// effect and music levels (0 off, 1 low, 2 normal, 3 high) that the menus show.
#pragma once

#include "lang/DStringArray.h"
#include "microedition/media/DPlayer.h"
#include "microedition/media/DPlayerArray.h"

#include <cstdint>

namespace gamelib {

// One player (or null) per name of the list that loaded the bank.
extern qev::microedition::media::DPlayerArrayPtr soundBank;
// The player started last; null when none or after stopCurrentSound.
extern qev::microedition::media::DPlayerPtr currentSoundPlayer;
// Loop count of the next start (1 once, -1 for ever).
extern int32_t soundLoopCount;
// Effects (WAV players) start only while this is set.
extern int8_t sfxEnabled;

// Mixer volume of each level.
constexpr int32_t kLevelVolumes[4] = {0, 21, 42, 64};

// Stops everything and replaces the bank with a player per name: name + ".wav", else
// name + ".mod", else null.
void loadSounds(qev::lang::DStringArrayPtr names);
qev::microedition::media::DPlayerPtr createSoundPlayer(qev::lang::DStringPtr name);
// Starts the bank's player at index (if any) with the loop count.
void playSound(int32_t index, int32_t loopCount);
// Effects need the effects switch; music that already plays is left alone. False when nothing
// was started.
bool startSoundPlayer(qev::microedition::media::DPlayerPtr player);
void stopCurrentSound();
void stopSound(int32_t index);
// Stops the player at index and winds it back to the start.
void rewindSound(int32_t index);
// Every player of the bank stopped and wound back, then every mixer channel stopped.
void stopAllSounds();
void pauseAllSounds();
void resumeAllSounds();

void setSfxLevel(int32_t level);
int32_t getSfxLevel();
void setMusicLevel(int32_t level);
int32_t getMusicLevel();

// Drops the bank and the current player.
void releaseSounds();

} // namespace gamelib

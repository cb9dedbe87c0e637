#include "gamelib/SoundBank.h"

#include "gamelib/GameLib.h"
#include "gamelib/MissingReport.h"
#include "gamelib/ResourceNames.h"

#include "microedition/media/MediaManager.h"

namespace gamelib {

using namespace qev::lang;
using qev::microedition::media::DPlayer;
using qev::microedition::media::DPlayerArray;
using qev::microedition::media::DPlayerPtr;

qev::microedition::media::DPlayerArrayPtr soundBank;
DPlayerPtr currentSoundPlayer;
int32_t soundLoopCount = 1;
int8_t sfxEnabled = 1;

namespace {

// The player at index, or null for an index outside the bank.
DPlayerPtr playerAt(int32_t index)
{
    if (!soundBank || index < 0 || index >= soundBank->length)
        return nullptr;
    return (*soundBank)[index];
}

// Stops the player and winds it back; a media error on the way is of no interest.
void stopAndRewind(DPlayer& player)
{
    tolerant([&] {
        player.stop();
        player.setMediaTime(0);
    });
}

DPlayerPtr tryPlayer(const DStringPtr& name, const char16_t* extension, const char16_t* type)
{
    return tolerant([&] {
        DPlayerPtr player = qev::microedition::media::createPlayer(
            GameLib::probeResource(name + extension), DStringPtr(type));
        if (player)
            player->prefetch();
        return player;
    });
}

int32_t levelOf(int32_t volume)
{
    if (volume == 0)
        return 0;
    if (volume < 22)
        return 1;
    if (volume < 43)
        return 2;
    if (volume <= 64)
        return 3;
    return -1;
}

} // namespace

void loadSounds(DStringArrayPtr names)
{
    stopAllSounds();
    soundBank = nullptr;
    currentSoundPlayer = nullptr;
    const int32_t n = names->length;
    qev::microedition::media::DPlayerArrayPtr bank(new DPlayerArray(n));
    for (int32_t i = 0; i < n; ++i)
        (*bank)[i] = createSoundPlayer((*names)[i]);
    soundBank = bank;
}

DPlayerPtr createSoundPlayer(DStringPtr name)
{
    DPlayerPtr player;
    for (const SoundKind& kind : kSoundKinds)
        if (!player)
            player = tryPlayer(name, kind.suffix, kind.type);
    if (!player)
        reportMissing(Missing::Resource, name + u".wav or .mod");
    return player;
}

void playSound(int32_t index, int32_t loopCount)
{
    DPlayerPtr player = playerAt(index);
    if (!player)
        return;
    soundLoopCount = loopCount;
    startSoundPlayer(player);
}

bool startSoundPlayer(DPlayerPtr player)
{
    DPlayer& p = *player;
    if (p.kind == DPlayer::KIND_WAV) {
        if (!sfxEnabled)
            return false;
    } else if (p.isPlaying()) {
        return false;
    }
    if (tolerant([&] {
            p.setLoopCount(soundLoopCount);
            p.start();
        })) {
        currentSoundPlayer = player;
        return true;
    }
    currentSoundPlayer = player;
    stopCurrentSound();
    return false;
}

void stopCurrentSound()
{
    DPlayerPtr player = currentSoundPlayer;
    if (player && player->getState() == DPlayer::STARTED)
        stopAndRewind(*player);
    currentSoundPlayer = nullptr;
}

void stopSound(int32_t index)
{
    if (DPlayerPtr player = playerAt(index))
        player->stop();
}

void rewindSound(int32_t index)
{
    if (DPlayerPtr player = playerAt(index))
        stopAndRewind(*player);
}

void stopAllSounds()
{
    if (soundBank) {
        for (int32_t i = 0; i < soundBank->length; ++i) {
            if (DPlayerPtr player = (*soundBank)[i])
                stopAndRewind(*player);
        }
    }
    qev::microedition::media::stopAllChannels();
}

void pauseAllSounds()
{
    qev::microedition::media::pauseAllChannels();
}

void resumeAllSounds()
{
    qev::microedition::media::resumeAllChannels();
}

void setSfxLevel(int32_t level)
{
    sfxEnabled = level != 0;
    if (level >= 0 && level <= 3)
        qev::microedition::media::setSfxVolume(kLevelVolumes[level]);
}

int32_t getSfxLevel()
{
    return levelOf(qev::microedition::media::getSfxVolume());
}

void setMusicLevel(int32_t level)
{
    if (level >= 0 && level <= 3)
        qev::microedition::media::setMusicVolume(kLevelVolumes[level]);
}

int32_t getMusicLevel()
{
    return levelOf(qev::microedition::media::getMusicVolume());
}

void releaseSounds()
{
    soundBank = nullptr;
    currentSoundPlayer = nullptr;
}

} // namespace gamelib

#include "microedition/media/DPlayer.h"

#include "lang/DExceptionBase.h"
#include "microedition/media/MediaManager.h"
#include "sound/sndSpeaker.h"

namespace qev::microedition::media {

using namespace qev::lang;

DPlayer::DPlayer(int32_t k, qev::io::DInputStreamPtr s) : kind(k), stream(s) {}

DPlayer::~DPlayer()
{
    // A started player that still holds its entry stops its sound; no virtual calls from here.
    if (state == STARTED && claimed()) {
        sndSpeaker* mixer = soundMixer();
        if (sndChannel* c = mixer ? mixer->GetChannel(channel) : nullptr) {
            c->stopped = 1;
            c->paused = 0;
        }
        (*playerTable())[channel] = nullptr;
    }
}

sndChannel* DPlayer::channelRecord()
{
    if (!soundStarted())
        startSound();
    sndSpeaker* mixer = soundMixer();
    return mixer && channel >= 0 ? mixer->GetChannel(channel) : nullptr;
}

bool DPlayer::claimed()
{
    DPlayerArrayPtr table = playerTable();
    return table && channel >= 0 && channel < table->length && (*table)[channel].get() == this;
}

void DPlayer::giveUpClaim()
{
    DPlayerArrayPtr table = playerTable();
    if (table && channel >= 0 && channel < table->length && (*table)[channel].get() == this)
        (*table)[channel] = nullptr;
    channel = -1;
}

void DPlayer::dropLostClaim()
{
    if (state != STARTED && channel >= 0 && !claimed())
        channel = -1;
}

void DPlayer::close()
{
    if (state != CLOSED)
        state = CLOSED;
}

void DPlayer::deallocate() {}

int32_t DPlayer::getState()
{
    return state;
}

void DPlayer::realize()
{
    if (state == CLOSED)
        throwException(ExceptionCode::IllegalStateException);
    if (state != UNREALIZED)
        return;
    if (!source)
        source = makeSource();
    if (stream && !loadSource(stream))
        throwException(ExceptionCode::MediaException);
    stream = nullptr;
    state = REALIZED;
}

void DPlayer::prefetch()
{
    if (state == CLOSED)
        throwException(ExceptionCode::IllegalStateException);
    if (state == UNREALIZED)
        realize();
    if (state == REALIZED)
        state = PREFETCHED;
}

void DPlayer::setLoopCount(int32_t count)
{
    if (count != 1 && count != -1)
        throwException(ExceptionCode::IllegalArgumentException);
    loopCount = count;
    if (isPlaying() && channel >= 0) {
        if (sndChannel* c = channelRecord())
            setChannelLoop(*c, count != 1);
    }
}

DPlayerPtr DPlayer::start()
{
    if (state == CLOSED)
        throwException(ExceptionCode::IllegalStateException);
    DPlayerPtr self(this);
    if (isPlaying()) {
        // The same sound once more, on a channel of its own.
        DPlayerPtr copy = makeCopy();
        copy->source = source;
        copy->state = sourceLoaded() ? PREFETCHED : UNREALIZED;
        copy->loopCount = loopCount;
        return copy->start();
    }
    dropLostClaim();
    if (state != PREFETCHED) {
        realize();
        prefetch();
        if (state != PREFETCHED)
            return nullptr;
    }
    if (channel < 0) {
        if (!soundStarted())
            startSound();
        sndSpeaker* mixer = soundMixer();
        DPlayerArrayPtr table = playerTable();
        if (!mixer || !table)
            return nullptr;
        // The loop flag is set before the feeder thread can mix the new sound: a short sound
        // must not end in the buffer mixed between the play call and the flag.
        mixer->Lock();
        const int result = playOnMixer(*mixer);
        sndChannel* c = result >= 0 && result < table->length ? mixer->GetChannel(result) : nullptr;
        if (c)
            setChannelLoop(*c, loopCount != 1);
        mixer->Unlock();
        if (result < 0 || result >= table->length) {
            channel = -1;
            return nullptr;
        }
        channel = result;
        (*table)[channel] = this;
    } else if (sndChannel* c = channelRecord()) {
        sndSpeaker* mixer = soundMixer();
        mixer->Lock();
        setChannelLoop(*c, loopCount != 1);
        if (!c->stopped)
            c->paused = 0;
        mixer->Unlock();
    }
    state = STARTED;
    return self;
}

void DPlayer::stop()
{
    if (state != STARTED)
        return;
    if (isPlaying()) {
        if (sndChannel* c = channelRecord()) {
            if (!c->stopped)
                c->paused = 1;
        }
        state = PREFETCHED;
    }
}

int64_t DPlayer::getDuration()
{
    return -1;
}

int64_t DPlayer::getMediaTime()
{
    if (!isPlaying())
        return -1;
    sndChannel* c = channelRecord();
    return c ? static_cast<int64_t>(static_cast<uint32_t>(c->getPosition())) : -1;
}

int32_t DPlayer::setMediaTime(int32_t)
{
    DPlayerPtr self(this);
    dropLostClaim();
    if (!isPlaying() && !(state == PREFETCHED && channel >= 0))
        return -1;
    sndChannel* c = channelRecord();
    if (!c)
        return 0;
    if (state == STARTED) {
        c->setPosition(0);
    } else {
        c->stopped = 1;
        c->paused = 0;
        giveUpClaim();
    }
    return 0;
}

int32_t DPlayer::getVolume()
{
    dropLostClaim();
    if (!isPlaying() && channel < 0)
        return -1;
    sndChannel* c = channelRecord();
    return c ? channelVolume(*c) : -1;
}

void DPlayer::setVolume(int32_t volume)
{
    dropLostClaim();
    if (!isPlaying() && channel < 0)
        return;
    if (sndChannel* c = channelRecord())
        c->setVolume(volume);
}

int32_t DPlayer::getPan()
{
    return 0;
}

void DPlayer::setPan(int32_t) {}

bool DPlayer::isPlaying()
{
    if (state != STARTED)
        return false;
    DPlayerArrayPtr table = playerTable();
    if (!table) {
        // The sound system was shut down under the player.
        state = PREFETCHED;
        channel = -1;
        return false;
    }
    if (channel < 0 || channel >= table->length)
        throwException(ExceptionCode::ArrayIndexOutOfBoundsException);
    if ((*table)[channel].get() != this) {
        state = PREFETCHED;
        channel = -1;
        return false;
    }
    sndChannel* c = channelRecord();
    if (!c || (!c->paused && !c->stopped))
        return true;
    DPlayerPtr self(this); // the entry may hold the last reference
    (*table)[channel] = nullptr;
    state = PREFETCHED;
    channel = -1;
    return false;
}

} // namespace qev::microedition::media

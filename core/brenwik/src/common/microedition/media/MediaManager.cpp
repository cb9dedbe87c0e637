#include "microedition/media/MediaManager.h"

#include "lang/DExceptionBase.h"
#include "lang/DSystem.h"
#include "microedition/media/DPlayerMod.h"
#include "microedition/media/DPlayerWav.h"
#include "platform/waveout.h"
#include "sound/sndSpeaker.h"

namespace qev::microedition::media {

using namespace qev::lang;

namespace {

struct SoundState
{
    bool started = false;
    bool shutDown = false;
    sndSpeaker* mixer = nullptr;
    int32_t musicChannels = 0;
    int32_t soundChannels = 0;
    DPlayerArrayPtr table;
    bool failed = false;
    int64_t failedAt = 0;
    int32_t sfxMaster = 64;
    int32_t musicMaster = 64;
    IntPropertyReader reader = nullptr;
};

// Never destroyed: players released by other static destructors at exit may still ask for it.
SoundState& sound()
{
    static auto* s = new SoundState;
    return *s;
}

int32_t readProperty(const char16_t* key)
{
    IntPropertyReader r = sound().reader ? sound().reader : &DSystem::getIntProperty;
    return r(DStringPtr(key));
}

bool openMixer(int32_t rate, int32_t bits, bool stereo)
{
    SoundState& s = sound();
    return s.mixer->Open(rate, bits, stereo ? 1 : 0, s.musicChannels, s.soundChannels) == 0;
}

// The three rates of "sound.frequency.1" to ".3" in one channel layout.
bool openWithFallbackRates(int32_t bits, bool stereo)
{
    try {
        for (int32_t i = 1; i <= 3; ++i) {
            DStringPtr key = DString::concat(DStringPtr(u"sound.frequency."), i);
            IntPropertyReader r = sound().reader ? sound().reader : &DSystem::getIntProperty;
            if (openMixer(r(key), bits, stereo))
                return true;
        }
    } catch (DExceptionBase* e) {
        if (!e->isException())
            throw;
        delete e;
    }
    return false;
}

void applyMasters()
{
    SoundState& s = sound();
    if (!s.mixer || !s.mixer->IsOpen())
        return;
    s.mixer->SetMasterVolumes(s.musicMaster, s.sfxMaster);
    for (int i = 0; i < s.mixer->MusicChannelCount(); ++i) {
        sndMusicChannel* c = s.mixer->MusicChannel(i);
        c->setVolume(c->songVolume);
    }
    for (int i = 0; i < s.mixer->SoundChannelCount(); ++i) {
        sndSoundChannel* c = s.mixer->SoundChannel(i);
        c->setVolume(c->volume);
    }
}

// Runs `change` on every sound channel, then on every music channel, each pool under the lock.
template <class F> void forAllChannels(F change)
{
    sndSpeaker* m = soundMixer();
    if (!m)
        return;
    m->Lock();
    for (int i = 0; i < m->SoundChannelCount(); ++i)
        change(*m->SoundChannel(i));
    m->Unlock();
    m->Lock();
    for (int i = 0; i < m->MusicChannelCount(); ++i)
        change(*m->MusicChannel(i));
    m->Unlock();
}

int32_t masterValue(int32_t v)
{
    return v >= 0 && v <= 64 ? v : 64;
}

} // namespace

void startSound()
{
    SoundState& s = sound();
    if (s.started || s.shutDown)
        return;
    // A machine without audio would otherwise pay for every format on every media call.
    if (s.failed && DSystem::currentTimeMillis() - s.failedAt < kSoundRetryMillis)
        return;
    const int32_t stereo = readProperty(u"sound.stereo");
    const int32_t rate = readProperty(u"sound.frequency");
    const int32_t bits = readProperty(u"sound.bps");
    s.soundChannels = readProperty(u"sound.sfx_channels");
    s.musicChannels = readProperty(u"sound.music_channels");

    delete s.mixer;
    s.mixer = new sndSpeaker;
    s.mixer->bufferingMs = 180;
    // With no output device no format can succeed; try none.
    bool open = waveOutGetNumDevs() > 0 &&
                (openMixer(rate, bits, stereo != 0) || openWithFallbackRates(bits, true) ||
                 openWithFallbackRates(bits, false));
    if (!open) {
        delete s.mixer;
        s.mixer = nullptr;
        s.failed = true;
        s.failedAt = DSystem::currentTimeMillis();
        return;
    }
    s.failed = false;
    s.musicMaster = 32;
    s.sfxMaster = 32;
    applyMasters();
    // Sized by the channels the mixer really has, so every channel it hands out has an entry.
    s.table = new DPlayerArray(s.mixer->MusicChannelCount() + s.mixer->SoundChannelCount());
    s.started = true;
}

DPlayerPtr createPlayer(qev::io::DInputStreamPtr stream, DStringPtr type)
{
    if (!stream)
        throwException(ExceptionCode::IllegalArgumentException);
    if (!type)
        throwException(ExceptionCode::MediaException);
    if (!sound().started)
        startSound();
    if (type->equals(u"audio/x-wav"))
        return DPlayerPtr(new DPlayerWav(stream));
    if (type->equals(u"audio/mod"))
        return DPlayerPtr(new DPlayerMod(stream));
    return nullptr;
}

void stopAllChannels()
{
    forAllChannels([](sndChannel& c) {
        c.stopped = 1;
        c.paused = 0;
    });
}

void pauseAllChannels()
{
    forAllChannels([](sndChannel& c) {
        if (!c.stopped)
            c.paused = 1;
    });
}

void resumeAllChannels()
{
    forAllChannels([](sndChannel& c) {
        if (!c.stopped)
            c.paused = 0;
    });
}

void setSfxVolume(int32_t v)
{
    sound().sfxMaster = masterValue(v);
    applyMasters();
}

int32_t getSfxVolume()
{
    return sound().sfxMaster;
}

void setMusicVolume(int32_t v)
{
    sound().musicMaster = masterValue(v);
    applyMasters();
}

int32_t getMusicVolume()
{
    return sound().musicMaster;
}

sndSpeaker* soundMixer()
{
    sndSpeaker* m = sound().mixer;
    return m && m->IsOpen() ? m : nullptr;
}

DPlayerArrayPtr playerTable()
{
    return sound().table;
}

bool soundStarted()
{
    return sound().started;
}

void shutdownSound()
{
    SoundState& s = sound();
    stopAllChannels();
    s.shutDown = true;
    // The table goes first: its players look at their channels while the mixer still exists.
    s.table = nullptr;
    delete s.mixer;
    s.mixer = nullptr;
}

void resetSound()
{
    shutdownSound();
    IntPropertyReader reader = sound().reader;
    sound() = SoundState{};
    sound().reader = reader;
}

void setSoundPropertyReader(IntPropertyReader reader)
{
    sound().reader = reader;
}

} // namespace qev::microedition::media

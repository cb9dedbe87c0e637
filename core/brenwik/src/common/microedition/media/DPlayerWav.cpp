#include "microedition/media/DPlayerWav.h"

#include "microedition/media/DPlayerSource.h"
#include "sound/sndResult.h"
#include "sound/sndSpeaker.h"

namespace qev::microedition::media {

using namespace qev::lang;

namespace {

DPlayerSourceWav* wavSource(const DObjectPtr& source)
{
    return static_cast<DPlayerSourceWav*>(source.get());
}

} // namespace

DPlayerWav::DPlayerWav(qev::io::DInputStreamPtr input) : DPlayer(KIND_WAV, input) {}

DStringPtr DPlayerWav::getContentType()
{
    return DStringPtr(u"audio/x-wav");
}

int32_t DPlayerWav::setMediaTime(int32_t time)
{
    return time != 0 ? -1 : DPlayer::setMediaTime(0);
}

int32_t DPlayerWav::getPan()
{
    dropLostClaim();
    if (!isPlaying() && channel < 0)
        return 0;
    auto* c = dynamic_cast<sndSoundChannel*>(channelRecord());
    return c ? c->pan - 128 : 0;
}

void DPlayerWav::setPan(int32_t pan)
{
    dropLostClaim();
    if (!isPlaying() && channel < 0)
        return;
    if (sndChannel* c = channelRecord())
        c->setPan(pan < -128 ? 0 : (pan > 127 ? 255 : pan + 128));
}

DObjectPtr DPlayerWav::makeSource()
{
    return DObjectPtr(new DPlayerSourceWav);
}

bool DPlayerWav::loadSource(qev::io::DInputStreamPtr s)
{
    return wavSource(source)->load(s);
}

bool DPlayerWav::sourceLoaded()
{
    return source && wavSource(source)->loaded;
}

int DPlayerWav::playOnMixer(sndSpeaker& mixer)
{
    return source ? mixer.PlaySound(wavSource(source)->sound) : sndErrCannotPlay;
}

DPlayerPtr DPlayerWav::makeCopy()
{
    return DPlayerPtr(new DPlayerWav(nullptr));
}

void DPlayerWav::setChannelLoop(sndChannel& playing, bool loop)
{
    if (auto* c = dynamic_cast<sndSoundChannel*>(&playing))
        c->loop = loop ? 1 : 0;
}

int32_t DPlayerWav::channelVolume(sndChannel& playing)
{
    auto* c = dynamic_cast<sndSoundChannel*>(&playing);
    return c ? c->volume.load() : -1;
}

} // namespace qev::microedition::media

#include "microedition/media/DPlayerMod.h"

#include "microedition/media/DPlayerSource.h"
#include "sound/sndResult.h"
#include "sound/sndSpeaker.h"

namespace qev::microedition::media {

using namespace qev::lang;

namespace {

DPlayerSourceMod* modSource(const DObjectPtr& source)
{
    return static_cast<DPlayerSourceMod*>(source.get());
}

} // namespace

DPlayerMod::DPlayerMod(qev::io::DInputStreamPtr input) : DPlayer(KIND_MOD, input) {}

DStringPtr DPlayerMod::getContentType()
{
    return DStringPtr(u"audio/mod");
}

int32_t DPlayerMod::setMediaTime(int32_t time)
{
    return time >= 1 ? -1 : DPlayer::setMediaTime(0);
}

DObjectPtr DPlayerMod::makeSource()
{
    return DObjectPtr(new DPlayerSourceMod);
}

bool DPlayerMod::loadSource(qev::io::DInputStreamPtr s)
{
    return modSource(source)->load(s);
}

bool DPlayerMod::sourceLoaded()
{
    return source && modSource(source)->loaded;
}

int DPlayerMod::playOnMixer(sndSpeaker& mixer)
{
    return source ? mixer.PlayMusic(modSource(source)->music) : sndErrCannotPlay;
}

DPlayerPtr DPlayerMod::makeCopy()
{
    return DPlayerPtr(new DPlayerMod(nullptr));
}

void DPlayerMod::setChannelLoop(sndChannel& playing, bool loop)
{
    if (auto* c = dynamic_cast<sndMusicChannel*>(&playing))
        c->loop = loop ? 1 : 0;
}

int32_t DPlayerMod::channelVolume(sndChannel& playing)
{
    auto* c = dynamic_cast<sndMusicChannel*>(&playing);
    return c ? c->songVolume.load() : -1;
}

} // namespace qev::microedition::media

#include "microedition/media/DPlayerSource.h"

#include "lang/DExceptionBase.h"
#include "lang/DbyteArray.h"

namespace qev::microedition::media {

using namespace qev::lang;

namespace {

// The stream's bytes in one read; null when reading threw an exception of the Exception family.
DbyteArrayPtr readAll(qev::io::DInputStreamPtr stream)
{
    try {
        DbyteArrayPtr bytes = new DbyteArray(stream->available());
        stream->read(bytes);
        return bytes;
    } catch (DExceptionBase* e) {
        if (!e->isException())
            throw;
        delete e;
        return nullptr;
    }
}

size_t sizeOf(const DbyteArrayPtr& bytes)
{
    return bytes->length > 0 ? static_cast<size_t>(bytes->length) : 0;
}

} // namespace

bool DPlayerSourceWav::load(qev::io::DInputStreamPtr stream)
{
    DbyteArrayPtr bytes = readAll(stream);
    if (!bytes)
        return false;
    const auto* data = reinterpret_cast<const uint8_t*>(bytes->getData());
    if (sound.Load(data, sizeOf(bytes)) != 0)
        return false;
    loaded = 1;
    return true;
}

bool DPlayerSourceMod::load(qev::io::DInputStreamPtr stream)
{
    DbyteArrayPtr bytes = readAll(stream);
    if (!bytes)
        return false;
    const auto* data = reinterpret_cast<const uint8_t*>(bytes->getData());
    if (music.Load(data, sizeOf(bytes)) != 0)
        return false;
    loaded = 1;
    return true;
}

} // namespace qev::microedition::media

#include "microedition/lcdui/DImage.h"

#include "io/D7zipInputStream.h"
#include "io/DFileInputStream.h"
#include "raster/ImageDecoder.h"
#include "raster/RenderContext.h"

#include <algorithm>
#include <string>
#include <vector>

namespace qev::microedition::lcdui {

using namespace qev::lang;

namespace {

DImage::PropertySource g_propertySource = nullptr;

bool supported(int32_t transform)
{
    return transform == DImage::TRANS_NONE || transform == DImage::TRANS_MIRROR ||
           transform == DImage::TRANS_ROT180 || transform == DImage::TRANS_ROT90 ||
           transform == DImage::TRANS_ROT270;
}

// A new surface holding `source` turned by `transform`; null when out of memory.
Surface* transformed(const Surface& source, int32_t transform)
{
    const int32_t w = source.width;
    const int32_t h = source.height;
    const bool quarter = transform == DImage::TRANS_ROT90 || transform == DImage::TRANS_ROT270;
    Surface* out = Surface::Create(quarter ? h : w, quarter ? w : h);
    if (!out)
        return nullptr;
    // One loop per transform: the choice is made once, not per pixel.
    for (int32_t y = 0; y < h; ++y) {
        const uint16_t* in = source.row(y);
        switch (transform) {
        case DImage::TRANS_MIRROR:
            std::reverse_copy(in, in + w, out->row(y));
            break;
        case DImage::TRANS_ROT180:
            std::reverse_copy(in, in + w, out->row(h - 1 - y));
            break;
        case DImage::TRANS_ROT90:
            for (int32_t x = 0; x < w; ++x)
                out->row(x)[h - 1 - y] = in[x];
            break;
        case DImage::TRANS_ROT270:
            for (int32_t x = 0; x < w; ++x)
                out->row(w - 1 - x)[y] = in[x];
            break;
        default:
            std::copy(in, in + w, out->row(y));
            break;
        }
    }
    return out;
}

// The whole content of an archive entry; IOException when the entry is missing.
std::vector<uint8_t> entryBytes(const DStringPtr& name)
{
    qev::io::D7zipInputStreamPtr in = qev::io::D7zipInputStream::open(name);
    std::vector<uint8_t> bytes(static_cast<size_t>(std::max(in->available(), 0)));
    size_t got = 0;
    while (got < bytes.size()) {
        const int32_t n = in->read(reinterpret_cast<char*>(bytes.data() + got),
                                   static_cast<int32_t>(bytes.size() - got));
        if (n <= 0)
            break;
        got += static_cast<size_t>(n);
    }
    bytes.resize(got);
    in->close();
    return bytes;
}

// The archive entry of an image: under the application's image prefix when it has one, else
// (or when that entry is missing) under the bare name.
std::vector<uint8_t> archiveImage(const DStringPtr& name)
{
    DStringPtr prefix = g_propertySource ? g_propertySource(u"image.path") : DStringPtr();
    if (prefix && prefix->length() > 0) {
        try {
            return entryBytes(prefix + name);
        } catch (DExceptionBase* e) {
            if (!e->isException())
                throw;
            delete e;
        }
    }
    return entryBytes(name);
}

} // namespace

void DImage::setPropertySource(PropertySource source)
{
    g_propertySource = source;
}

DImage::DImage(int32_t immutable, Surface* surface)
    : m_immutable(immutable), m_image(std::make_unique<ImageHolder>())
{
    m_image->surface = surface;
    m_image->colourKey = Gfx::kColourKey;
}

DImage::~DImage()
{
    delete m_image->surface;
}

int32_t DImage::getWidth() const
{
    return m_image->surface ? m_image->surface->width : 0;
}

int32_t DImage::getHeight() const
{
    return m_image->surface ? m_image->surface->height : 0;
}

DGraphicsPtr DImage::getGraphics()
{
    DGraphicsPtr graphics(new DGraphics(m_image.get()));
    graphics->keepAlive(DObjectPtr(this));
    return graphics;
}

DImagePtr DImage::createImage(DStringPtr name, int32_t transform)
{
    if (!name)
        throwException(ExceptionCode::NullPointerException);
    if (!supported(transform))
        throwException(ExceptionCode::IllegalArgumentException);

    DStringPtr path = qev::io::programFilePath(name, false);
    ImageHolder* loaded = LoadImageFile(path->chars());
    if (!loaded) {
        std::vector<uint8_t> bytes = archiveImage(name);
        loaded = DecodeImage(bytes.data(), bytes.data() + bytes.size());
        if (!loaded)
            throwException(ExceptionCode::IOException,
                           u"cannot decode image " +
                               std::u16string(name->chars(), static_cast<size_t>(name->length())));
    }
    Surface* surface = loaded->surface;
    loaded->surface = nullptr;
    DestroyImage(loaded);
    if (transform != TRANS_NONE) {
        Surface* turned = transformed(*surface, transform);
        delete surface;
        if (!turned)
            throwException(ExceptionCode::IOException);
        surface = turned;
    }
    return DImagePtr(new DImage(1, surface));
}

DImagePtr DImage::createImage(DImagePtr source, int32_t transform)
{
    DImage& from = *source; // null: NullPointerException
    if (!from.m_image->surface)
        throwException(ExceptionCode::IOException);
    if (!supported(transform))
        throwException(ExceptionCode::IllegalArgumentException);
    Surface* surface = transformed(*from.m_image->surface, transform);
    if (!surface)
        throwException(ExceptionCode::IOException);
    return DImagePtr(new DImage(from.m_immutable, surface));
}

DImagePtr DImage::createImage(int32_t width, int32_t height)
{
    Surface* surface = width > 0 && height > 0 ? Surface::Create(width, height) : nullptr;
    if (!surface)
        throwException(ExceptionCode::IllegalArgumentException);
    DImagePtr image(new DImage(0, surface));
    RenderContext context(image->m_image.get());
    context.rasterizer->Clear(*surface, 0xFFFF);
    return image;
}

} // namespace qev::microedition::lcdui

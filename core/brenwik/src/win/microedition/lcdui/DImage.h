// An RGB565 image with the colour key 0xF81F: decoded from a PNG or JPEG file (a plain file in
// the program's folder first, then an entry of the data archive), a transformed copy of another
// image, or blank and mutable for drawing into.
#pragma once

#include "lang/DString.h"
#include "microedition/lcdui/DGraphics.h"

#include <memory>

class ImageHolder;
class Surface;

namespace qev::microedition::lcdui {

class DImage : public qev::lang::DObject
{
  public:
    // The supported orientation transforms.
    static constexpr int32_t TRANS_NONE = 0;
    static constexpr int32_t TRANS_MIRROR = 2;
    static constexpr int32_t TRANS_ROT180 = 3;
    static constexpr int32_t TRANS_ROT90 = 5;
    static constexpr int32_t TRANS_ROT270 = 6;

    // Where image names are looked for in the archive: the application's "image.path" property,
    // answered by whoever runs the application (null or empty: no prefix).
    using PropertySource = qev::lang::DStringPtr (*)(qev::lang::DStringPtr key);
    static void setPropertySource(PropertySource source);

    // NullPointerException for a null name; IOException when neither a file nor an archive
    // entry of that name decodes; IllegalArgumentException for an unsupported transform.
    static DImagePtr createImage(qev::lang::DStringPtr name, int32_t transform = TRANS_NONE);
    // NullPointerException for a null source, IOException for a source without pixels.
    static DImagePtr createImage(DImagePtr source, int32_t transform);
    // Blank (white) and mutable. IllegalArgumentException for a size that is not positive or
    // too large to allocate.
    static DImagePtr createImage(int32_t width, int32_t height);

    ~DImage() override;
    const char* getClassName() override { return "DImage"; }

    int32_t getWidth() const;
    int32_t getHeight() const;
    bool isMutable() const { return m_immutable == 0; }
    DGraphicsPtr getGraphics();

    ImageHolder* getHolder() const { return m_image.get(); }

  private:
    DImage(int32_t immutable, Surface* surface);

    int32_t m_immutable;
    std::unique_ptr<ImageHolder> m_image;
};

} // namespace qev::microedition::lcdui

#include "gamelib/GameImage.h"

#include "gamelib/MissingReport.h"
#include "gamelib/ScreenCanvas.h"
#include "gamelib/SpriteAtlas.h"

#include "lang/DintArray.h"

namespace gamelib {

using qev::lang::DintArray;
using qev::lang::DStringPtr;

namespace {

struct Suffix
{
    const char16_t* text;
    int32_t transform;
};

constexpr Suffix kSuffixes[] = {{u"_mr", 2}, {u"_lv", 3}, {u"_dn", 5}, {u"_up", 6}};
constexpr int32_t kSuffixLength = 3;

} // namespace

GameImage::GameImage(int32_t x_, int32_t y_, int32_t w_, int32_t h_) : x(x_), y(y_), w(w_), h(h_) {}

void GameImage::setTransform(int32_t t)
{
    transform = t;
    // Wrapping arithmetic: the rectangle comes from a data file and may hold any number.
    auto sub = [](int32_t a, int32_t b) {
        return static_cast<int32_t>(static_cast<uint32_t>(a) - static_cast<uint32_t>(b));
    };
    const int32_t ox = x, oy = y, ow = w, oh = h;
    switch (t) {
    case 2:
        x = sub(sub(atlasWidth, ow), ox);
        break;
    case 5:
        x = sub(sub(atlasHeight, oh), oy);
        y = ox;
        w = oh;
        h = ow;
        break;
    case 6:
        x = oy;
        y = sub(sub(atlasWidth, ow), ox);
        w = oh;
        h = ow;
        break;
    default: // 3 draws from the half-turned copy with the rectangle of the sheet
        break;
    }
}

GameImagePtr GameImage::fromAtlas(DStringPtr pieceName)
{
    DStringPtr name = pieceName;
    int32_t t = 0;
    for (const Suffix& s : kSuffixes) {
        if (name->endsWith(DStringPtr(s.text))) {
            t = s.transform;
            name = name->substring(0, name->length() - kSuffixLength);
            break;
        }
    }
    qev::lang::DObjectPtr found;
    if (atlasPieces)
        found = atlasPieces->get(qev::lang::DObjectPtr(name));
    if (!found) {
        reportMissing(Missing::AtlasPiece, pieceName);
        return nullptr;
    }
    const DintArray& r = *qev::lang::dcast<DintArray>(found);
    GameImagePtr image(new GameImage(r[0], r[1], r[2], r[3]));
    image->setTransform(t);
    return image;
}

void GameImage::draw(int32_t x_, int32_t y_)
{
    // By reference: a smart pointer made from `this` would delete an image that no smart
    // pointer holds yet.
    drawGameImage(*screenGraphics, x_, y_, *this);
}

} // namespace gamelib

#include "gamelib/Animation.h"

#include "gamelib/GameLib.h"
#include "gamelib/SpriteAtlas.h"
#include "gamelib/TextTable.h"

namespace gamelib {

using qev::lang::DStringArrayPtr;
using qev::lang::DStringPtr;

Animation::Animation(DStringArrayPtr names)
{
    const int32_t n = names->length;
    frames = new GameImageArray(n);
    for (int32_t i = 0; i < n; ++i)
        (*frames)[i] = GameImage::fromAtlas((*names)[i]);
}

AnimationPtr requireAnimation(DStringArrayPtr names, const DStringPtr& key, const char16_t* list)
{
    AnimationPtr animation(new Animation(names));
    const int32_t n = animation->frames->length;
    if (n == 0)
        throwWithMessage(qev::lang::ExceptionCode::IOException,
                         key + u" of " + list + u": no frames");
    for (int32_t i = 0; i < n; ++i) {
        if (!(*animation->frames)[i])
            throwWithMessage(qev::lang::ExceptionCode::IOException,
                             key + u" of " + list + u": no piece " + (*names)[i] + u" in " +
                                 atlasListText());
    }
    return animation;
}

AnimationPtr requireListedAnimation(const qev::util::DHashtablePtr& table, const DStringPtr& key,
                                    const char16_t* list)
{
    qev::lang::DObjectPtr value = table ? table->get(qev::lang::DObjectPtr(key)) : nullptr;
    if (!value)
        throwWithMessage(qev::lang::ExceptionCode::IOException,
                         key + u" of " + list + u": missing");
    return requireAnimation(splitText(qev::lang::dcast<qev::lang::DString>(value), u';'), key,
                            list);
}

DStringPtr Animation::toString()
{
    return DStringPtr();
}

void Animation::reset()
{
    playing = 1;
    frame = 0;
    counter = 0;
}

void Animation::paint(int32_t x, int32_t y)
{
    GameImagePtr current = (*frames)[frame];
    current->draw(x, y);
    wrapped = 0;
    if (playing && counter == ticksPerFrame) {
        counter = 0;
        ++frame;
        if (frame >= frames->length) {
            wrapped = 1;
            frame = 0;
        }
    }
    // Counts on while stopped; wrapping keeps an animation left stopped for ages defined.
    counter = static_cast<int32_t>(static_cast<uint32_t>(counter) + 1u);
}

} // namespace gamelib

#include "gamelib/Animation.h"

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

// A sequence of atlas pieces played as frames. It advances when painted, so its speed counts
// painted frames: with ticks per frame 2, frame 0 shows three times after reset and every later
// frame twice.
#pragma once

#include "gamelib/GameImage.h"

#include "lang/DStringArray.h"
#include "util/DHashtable.h"

namespace gamelib {

class Animation;
using AnimationPtr = qev::lang::DPtr<Animation>;

class Animation : public qev::lang::DObject
{
  public:
    // No frames, not playing.
    Animation() = default;
    // One frame per name, each a piece of the current atlas (null when the atlas has none).
    explicit Animation(qev::lang::DStringArrayPtr names);
    const char* getClassName() override { return "Animation"; }
    qev::lang::DStringPtr toString() override;

    // Plays from frame 0.
    void reset();
    // Draws the current frame (NullPointerException for a null one), then advances when playing.
    // wrapped is set for the one call in which the last frame gave way to frame 0.
    void paint(int32_t x, int32_t y);

    GameImageArrayPtr frames;
    int32_t frame = 0;
    int32_t unused = 0;
    int32_t ticksPerFrame = 2;
    int32_t counter = 0;
    int8_t playing = 0;
    int8_t wrapped = 0;
};

// An animation that a screen cannot do without, of the pieces named in entry `key` of the list
// `list` ("/tesk/anim.txt"): IOException naming the list, the entry and the atlas's list when
// the entry names no piece or a piece the atlas lacks.
AnimationPtr requireAnimation(qev::lang::DStringArrayPtr names, const qev::lang::DStringPtr& key,
                              const char16_t* list);
// The same for entry `key` of an animation list read into `table` from `list`: IOException
// naming the list and the entry also when the list has no such entry.
AnimationPtr requireListedAnimation(const qev::util::DHashtablePtr& table,
                                    const qev::lang::DStringPtr& key, const char16_t* list);

} // namespace gamelib

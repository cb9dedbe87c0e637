// Any bytes as a game's animation list ("name=piece;piece;..." lines of 8 bits) over a small
// fixed atlas: the list always loads, and every animation plays its frames in the documented
// rhythm (frame 0 three paints after reset, every later one two, wrapped on the last), a frame
// without piece raising NullPointerException when it is due and nothing else.
#include "ProgramFolder.h"

#include "gamelib/Animation.h"
#include "gamelib/GameLib.h"
#include "gamelib/SpriteAtlas.h"
#include "gamelib/TextTable.h"

#include "lang/DString.h"

#include <cstdlib>

using namespace qev::lang;

namespace {

constexpr int32_t kMaxFrames = 64;

void prepareOnce()
{
    static bool done = false;
    if (done)
        return;
    done = true;
    fuzzsupport::useScreen(240, 320);
    gamelib::graphicsSet = u"fz";
    fuzzsupport::writeFile("/graphics/fz/pieces.png", fuzzsupport::png(32, 16, 0xCC3366));
    fuzzsupport::writeFile("/graphics/fz/pieces.txt",
                           "a.png;0;0;8;8\r\nb.png;8;0;8;8\r\nc.png;16;0;16;16\r\n");
    gamelib::loadAtlas(u"/pieces");
}

void play(gamelib::Animation& animation)
{
    const int32_t n = animation.frames->length;
    animation.reset();
    for (int32_t call = 1; call <= 2 * n + 1; ++call) {
        const bool missing = !(*animation.frames)[animation.frame];
        try {
            animation.paint(call, 2 * call);
        } catch (DExceptionBase* e) {
            if (!missing)
                std::abort();
            fuzzsupport::expectOnly(e, {ExceptionCode::NullPointerException});
            return;
        }
        if (missing)
            std::abort();
        const bool last = call == 2 * n + 1;
        if (animation.wrapped != (last ? 1 : 0) || animation.frame < 0 || animation.frame >= n ||
            (last && animation.frame != 0))
            std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    prepareOnce();
    fuzzsupport::writeFile("/tesk/anim.txt", data, size);
    qev::util::DHashtablePtr list;
    try {
        list =
            gamelib::loadTextTable(gamelib::GameLib::getResourceAsStream(u"/tesk/anim.txt"), false);
    } catch (DExceptionBase* e) {
        fuzzsupport::expectOnly(e, {});
        return 0;
    }
    qev::util::DEnumerationPtr keys = list->keys();
    while (keys->hasMoreElements()) {
        DStringPtr key = dcast<DString>(keys->nextElement());
        DStringArrayPtr names = gamelib::splitText(gamelib::getTextFrom(list, key), u';');
        if (names->length < 1 || names->length > kMaxFrames)
            continue;
        gamelib::AnimationPtr animation(new gamelib::Animation(names));
        play(*animation);
    }
    return 0;
}

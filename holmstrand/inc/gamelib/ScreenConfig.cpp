// The configuration of the screen resolution: which graphics set it uses, and so whether the
// resolution is supported at all.
#include "gamelib/GameLib.h"
#include "gamelib/ResourceNames.h"
#include "gamelib/ScreenCanvas.h"
#include "gamelib/TextTable.h"

#include "lang/DInteger.h"

namespace gamelib {

using qev::lang::DInteger;
using qev::lang::DStringPtr;

bool GameLib::loadScreenConfig()
{
    return tolerant([] {
        DStringPtr name =
            u"/" + DInteger::toString(screenWidth) + u"x" + DInteger::toString(screenHeight);
        qev::util::DHashtablePtr config = loadTextTable(getResourceAsStream(name), false);
        graphicsSet = getTextFrom(config, u"graphics");
        loadFolderAliases(graphicsSet, aliasedFolders(shellScreens().games));
    });
}

} // namespace gamelib

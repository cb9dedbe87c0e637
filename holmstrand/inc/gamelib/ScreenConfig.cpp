// The configuration of the screen resolution: which graphics set it uses, and so whether the
// resolution is supported at all.
#include "gamelib/GameLib.h"
#include "gamelib/ScreenCanvas.h"
#include "gamelib/TextTable.h"

#include "lang/DInteger.h"

namespace gamelib {

using qev::lang::DExceptionBase;
using qev::lang::DInteger;
using qev::lang::DStringArray;
using qev::lang::DStringArrayPtr;
using qev::lang::DStringPtr;

namespace {

// The resource folders that a graphics set may redirect, in the order they are looked up.
DStringArrayPtr aliasedFolders()
{
    static const char16_t* const kFolders[] = {u"tesk", u"mirf",  u"corv",
                                               u"menu", u"input", u"img"};
    DStringArrayPtr folders = new DStringArray(6);
    for (int32_t i = 0; i < 6; ++i)
        folders[i] = DStringPtr(kFolders[i]);
    return folders;
}

} // namespace

bool GameLib::loadScreenConfig()
{
    try {
        DStringPtr name =
            u"/" + DInteger::toString(screenWidth) + u"x" + DInteger::toString(screenHeight);
        qev::util::DHashtablePtr config = loadTextTable(getResourceAsStream(name), false);
        graphicsSet = getTextFrom(config, u"graphics");
        loadFolderAliases(graphicsSet, aliasedFolders());
        return true;
    } catch (DExceptionBase* e) {
        if (!swallowable(e))
            throw;
    }
    return false;
}

} // namespace gamelib

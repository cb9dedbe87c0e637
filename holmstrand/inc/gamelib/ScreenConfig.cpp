// The configuration of the screen resolution: which graphics set it uses, and so whether the
// resolution is supported at all.
#include "gamelib/GameLib.h"
#include "gamelib/ResourceNames.h"
#include "gamelib/ScreenCanvas.h"
#include "gamelib/TextTable.h"

#include "io/D7zipInputStream.h"
#include "lang/DInteger.h"

namespace gamelib {

using qev::io::D7zipInputStream;
using qev::lang::DExceptionBase;
using qev::lang::DInteger;
using qev::lang::DStringPtr;

namespace {

// The entry every start needs whatever the resolution: an archive without it is not this game's
// data, and a missing configuration then says nothing about the screen.
constexpr const char16_t* kAlwaysRead = u"/graphics/logo.png";

// What the data did wrong when the configuration `name` could not be read; null when the data is
// this game's and simply has no configuration for the resolution.
DStringPtr dataFault(const DStringPtr& name, const DExceptionBase& e)
{
    if (!D7zipInputStream::isArchiveOpen())
        return DStringPtr();
    if (D7zipInputStream::holds(name))
        return messageOf(e);
    if (!D7zipInputStream::holds(kAlwaysRead))
        return u"not this game's data: no entry " + name + u" and no entry " + kAlwaysRead;
    return DStringPtr();
}

} // namespace

bool GameLib::loadScreenConfig(DStringPtr* fault)
{
    const DStringPtr name =
        u"/" + DInteger::toString(screenWidth) + u"x" + DInteger::toString(screenHeight);
    try {
        qev::util::DHashtablePtr config = loadTextTable(getResourceAsStream(name), false);
        graphicsSet = getTextFrom(config, u"graphics");
        loadFolderAliases(graphicsSet, aliasedFolders(shellScreens().games));
        return true;
    } catch (DExceptionBase* e) {
        if (!e->isException())
            throw;
        if (fault)
            *fault = dataFault(name, *e);
        delete e;
    }
    return false;
}

} // namespace gamelib

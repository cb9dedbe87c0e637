#include "gamelib/ResourceNames.h"

namespace gamelib {

using qev::lang::DString;
using qev::lang::DStringArray;
using qev::lang::DStringArrayPtr;
using qev::lang::DStringPtr;

namespace {

DStringArrayPtr namesOf(std::initializer_list<DStringPtr> names)
{
    DStringArrayPtr out = new DStringArray(static_cast<int32_t>(names.size()));
    int32_t i = 0;
    for (const DStringPtr& name : names)
        out[i++] = name;
    return out;
}

} // namespace

DStringArrayPtr aliasedFolders(GameTable games)
{
    // The games' folders come first, in menu order, then the shell's own.
    static constexpr const char16_t* kShellFolders[] = {u"menu", u"input", u"img"};
    const int32_t count = static_cast<int32_t>(games.size() + std::size(kShellFolders));
    DStringArrayPtr out = new DStringArray(count);
    int32_t i = 0;
    for (const GameEntry& game : games)
        out[i++] = DStringPtr(game.folder);
    for (const char16_t* folder : kShellFolders)
        out[i++] = DStringPtr(folder);
    return out;
}

DStringPtr aliasFileOf(const DStringPtr& set, const DStringPtr& folder)
{
    return u"/graphics/" + set + u"/" + folder + u"/path";
}

DStringArrayPtr archiveNamesOf(const DStringPtr& name, int32_t screenHeight)
{
    if (name->startsWith(DStringPtr(u"/fonts/")))
        return namesOf({name});
    const bool largeScreenFile = name->endsWith(DStringPtr(u"all.txt")) ||
                                 name->endsWith(DStringPtr(u"anim.txt")) ||
                                 name->startsWith(DStringPtr(u"/menu"));
    if (name->endsWith(DStringPtr(u"help.txt")) || (largeScreenFile && screenHeight >= 320))
        return namesOf({u"/ppc" + name, name});
    return namesOf({name});
}

DStringArrayPtr graphicsNamesOf(const DStringPtr& name, const DStringPtr& set,
                                const DStringPtr& alias)
{
    const DStringPtr graphics = u"/graphics/";
    return namesOf({DString::concat(DString::concat(graphics, set), name),
                    DString::concat(DString::concat(graphics, alias), name),
                    u"/graphics/common" + name});
}

DStringPtr imagePathFor(int32_t screenHeight)
{
    return screenHeight >= 240 ? u"/ppc" : u"";
}

} // namespace gamelib

// The names under which the game looks for a resource, apart from the lookup itself, so that
// the data generator can ask them too (tools/datarules) instead of keeping its own copy.
#pragma once

#include "gamelib/GameEntry.h"

#include "lang/DString.h"
#include "lang/DStringArray.h"

#include <cstdint>

namespace gamelib {

// The resource folders that a graphics set may redirect, in the order they are looked up: the
// games' and the shell's.
qev::lang::DStringArrayPtr aliasedFolders(GameTable games);
// The entry naming the alias of a folder in a graphics set.
qev::lang::DStringPtr aliasFileOf(const qev::lang::DStringPtr& set,
                                  const qev::lang::DStringPtr& folder);
// The archive entries that reading `name` tries, in order: the "/ppc" variant first for help
// texts, and on screens at least 320 pixels high for animation lists and the menu's files;
// fonts are read as they are named.
qev::lang::DStringArrayPtr archiveNamesOf(const qev::lang::DStringPtr& name, int32_t screenHeight);
// The names a graphics lookup tries, in order: the set's, the alias's ("null" without one) and
// the common set's.
qev::lang::DStringArrayPtr graphicsNamesOf(const qev::lang::DStringPtr& name,
                                           const qev::lang::DStringPtr& set,
                                           const qev::lang::DStringPtr& alias);
// The files a sound of the sound bank is looked for under, in this order: its name with the
// suffix, played as the media type.
struct SoundKind
{
    const char16_t* suffix;
    const char16_t* type;
};
inline constexpr SoundKind kSoundKinds[] = {{u".wav", u"audio/x-wav"}, {u".mod", u"audio/mod"}};
// The prefix images are first looked for under on a screen of this height.
qev::lang::DStringPtr imagePathFor(int32_t screenHeight);

} // namespace gamelib

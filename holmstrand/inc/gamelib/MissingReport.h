// One line on the error output for each resource, atlas piece or text that the data lacks, so
// that a screen drawn without it can be traced to the name. Each name is reported once per run.
#pragma once

#include "lang/DString.h"

#include <string>

namespace gamelib {

// Image: of the graphics set; PlainImage: under its own name ("/graphics/logo.png").
enum class Missing { Resource, Image, PlainImage, AtlasPiece, Text };

// "pallasterhorn: not found: image /menu/back.jpg (graphics set qvga)" and the like.
void reportMissing(Missing kind, const qev::lang::DStringPtr& name);

// "pallasterhorn: damaged: /graphics/fonts/menu/font_0: count 9, 8 whole glyphs": an entry that
// is there but does not read as it should, and what the game made of it.
void reportDamaged(const qev::lang::DStringPtr& name, const std::string& what);
void reportDamaged(const qev::lang::DStringPtr& name, const qev::lang::DStringPtr& what);

// Forgets which names were reported (the next run of a test starts afresh).
void resetMissingReports();

} // namespace gamelib

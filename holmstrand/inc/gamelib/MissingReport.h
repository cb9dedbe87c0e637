// One line on the error output for each resource, atlas piece or text that the data lacks, so
// that a screen drawn without it can be traced to the name. Each name is reported once per run.
#pragma once

#include "lang/DString.h"

namespace gamelib {

enum class Missing { Resource, Image, AtlasPiece, Text };

// "pallasterhorn: not found: image /menu/back.jpg (graphics set qvga)" and the like.
void reportMissing(Missing kind, const qev::lang::DStringPtr& name);

// Forgets which names were reported (the next run of a test starts afresh).
void resetMissingReports();

} // namespace gamelib

// Which lines of the gallery's picture list "/img/all.txt" make a picture, apart from drawing
// it, so that the data generator can ask it too (tools/datarules). Lines of one group share the
// digit in column 0; a line's payload starts at column 4. The first line of a group names the
// background, the later ones "name;x;y" overlays.
#pragma once

#include "lang/DString.h"

#include <cstdint>
#include <vector>

namespace gamelib {

struct PicturePlan
{
    // The line naming the background; -1 when the list has no line for the picture.
    int32_t background = -1;
    // The overlays, in drawing order: from the group's last line up to the one after the
    // picture's own line.
    std::vector<int32_t> overlays;
};

// Picture n counts from 1 and wraps around the list.
PicturePlan planPicture(const std::vector<qev::lang::DStringPtr>& lines, int32_t n);
// The part of a list line after the group digit.
qev::lang::DStringPtr picturePayload(const qev::lang::DStringPtr& line);

} // namespace gamelib

#include "gamelib/PicturePlan.h"

namespace gamelib {

using qev::lang::DStringPtr;

namespace {

constexpr int32_t kPayloadColumn = 4;

} // namespace

PicturePlan planPicture(const std::vector<DStringPtr>& lines, int32_t n)
{
    PicturePlan plan;
    const int32_t count = static_cast<int32_t>(lines.size());
    // An empty list or a picture number below 1 has no line: the picture stays blank.
    if (count == 0)
        return plan;
    // n - 1 wraps like the device's arithmetic instead of overflowing.
    const int32_t t = static_cast<int32_t>(static_cast<uint32_t>(n) - 1u) % count;
    if (t < 0)
        return plan;
    const char16_t group = lines[static_cast<size_t>(t)]->charAt(0);
    int32_t first = t;
    while (first > 0 && lines[static_cast<size_t>(first - 1)]->charAt(0) == group)
        --first;
    int32_t last = t;
    while (last + 1 < count && lines[static_cast<size_t>(last + 1)]->charAt(0) == group)
        ++last;
    plan.background = first;
    for (int32_t d = last; d > t; --d)
        plan.overlays.push_back(d);
    return plan;
}

DStringPtr picturePayload(const DStringPtr& line)
{
    return line->substring(kPayloadColumn);
}

} // namespace gamelib

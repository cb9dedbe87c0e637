#include "raster/RenderContext.h"

#include "raster/LineClip.h"
#include "raster/Raster2D.h"

#include <algorithm>
#include <cstdlib>

using Gfx::Point;
using Gfx::Rect;

namespace {

// A rectangle in 64 bits, so that positions plus sizes far outside the surface cannot wrap.
struct Span
{
    int64_t left, top, right, bottom;
};

Span cut(const Span& a, const Rect& b)
{
    return Span{std::max<int64_t>(a.left, b.left), std::max<int64_t>(a.top, b.top),
                std::min<int64_t>(a.right, b.right), std::min<int64_t>(a.bottom, b.bottom)};
}

bool isEmpty(const Span& s)
{
    return !(s.left < s.right && s.top < s.bottom);
}

} // namespace

RenderContext::RenderContext() : rasterizer(&Gfx::Internal::Raster2D::instance()) {}

RenderContext::RenderContext(ImageHolder* holder) : RenderContext()
{
    SetTarget(holder);
}

ImageHolder* RenderContext::SetTarget(ImageHolder* holder)
{
    ImageHolder* previous = target;
    target = holder;
    const Surface* surface = targetSurface();
    clip = surface ? Rect{0, 0, surface->width, surface->height} : Rect{};
    return previous;
}

Rect RenderContext::effectiveClip(Surface*& surface) const
{
    surface = targetSurface();
    if (!surface || !surface->pixels)
        return Rect{};
    // The clip is public and may have been set beyond the surface.
    return Gfx::intersect(clip, Rect{0, 0, surface->width, surface->height});
}

void RenderContext::Blit(int32_t x, int32_t y, const ImageHolder& source, const Rect* from)
{
    if (source.surface)
        Blit(x, y, *source.surface, from, source.colourKey);
}

void RenderContext::Blit(int32_t x, int32_t y, const Surface& source, const Rect* from,
                         int32_t colourKey)
{
    Surface* surface;
    const Rect c = effectiveClip(surface);
    if (c.empty() || !source.pixels)
        return;
    const Rect requested = from ? *from : Rect{0, 0, source.width, source.height};
    // Never read outside the source either: a part of the requested rectangle beyond the
    // source is cut, with the destination moved to match.
    const Rect inside = Gfx::intersect(requested, Rect{0, 0, source.width, source.height});
    if (inside.empty())
        return;
    const int64_t left = int64_t(x) + (int64_t(inside.left) - requested.left);
    const int64_t top = int64_t(y) + (int64_t(inside.top) - requested.top);
    const Span dest = cut(Span{left, top, left + inside.width(), top + inside.height()}, c);
    if (isEmpty(dest))
        return;
    const Rect src{static_cast<int32_t>(inside.left + (dest.left - left)),
                   static_cast<int32_t>(inside.top + (dest.top - top)),
                   static_cast<int32_t>(inside.left + (dest.right - left)),
                   static_cast<int32_t>(inside.top + (dest.bottom - top))};
    const Point at{static_cast<int32_t>(dest.left), static_cast<int32_t>(dest.top)};
    if (colourKey < 0)
        rasterizer->Blit(*surface, at, source, src);
    else
        rasterizer->BlitColorKey(*surface, at, source, src, static_cast<uint16_t>(colourKey));
}

namespace {

// The run [from, from + count) of one row or column cut to [low, high); false when nothing is
// left. Computed in 64 bits: a run between the far ends of the plane has 2^32 - 1 pixels.
bool cutRun(int64_t from, int64_t count, int32_t low, int32_t high, int32_t& start, int32_t& length)
{
    const int64_t first = std::max<int64_t>(from, low);
    const int64_t end = std::min<int64_t>(from + count, high);
    if (end - first < 1)
        return false;
    start = static_cast<int32_t>(first);
    length = static_cast<int32_t>(end - first);
    return true;
}

} // namespace

void RenderContext::DrawHLine(int32_t x, int32_t y, int32_t count, uint16_t colour)
{
    horizontalRun(x, y, count, colour);
}

void RenderContext::DrawVLine(int32_t x, int32_t y, int32_t count, uint16_t colour)
{
    verticalRun(x, y, count, colour);
}

void RenderContext::horizontalRun(int32_t x, int32_t y, int64_t count, uint16_t colour)
{
    Surface* surface;
    const Rect c = effectiveClip(surface);
    int32_t left, length;
    if (c.empty() || y < c.top || y >= c.bottom || !cutRun(x, count, c.left, c.right, left, length))
        return;
    rasterizer->DrawHLine(*surface, Point{left, y}, length, colour);
}

void RenderContext::verticalRun(int32_t x, int32_t y, int64_t count, uint16_t colour)
{
    Surface* surface;
    const Rect c = effectiveClip(surface);
    int32_t top, length;
    if (c.empty() || x < c.left || x >= c.right || !cutRun(y, count, c.top, c.bottom, top, length))
        return;
    rasterizer->DrawVLine(*surface, Point{x, top}, length, colour);
}

void RenderContext::DrawLine(int32_t x1, int32_t y1, int32_t x2, int32_t y2, uint16_t colour)
{
    if (x1 == x2 || y1 == y2) {
        // Straight lines leave out the end with the larger coordinate. They go through the
        // clipping runs, whose length of up to 2^32 - 1 is cut to the clip there.
        if (x1 == x2)
            verticalRun(x1, std::min(y1, y2), std::llabs(int64_t(y2) - y1), colour);
        else
            horizontalRun(std::min(x1, x2), y1, std::llabs(int64_t(x2) - x1), colour);
        return;
    }
    Surface* surface;
    const Rect c = effectiveClip(surface);
    if (c.empty())
        return;
    int64_t ax = x1, ay = y1, bx = x2, by = y2;
    if (!Gfx::Internal::clipLine(ax, ay, bx, by,
                                 {c.left, c.top, int64_t(c.right) - 1, int64_t(c.bottom) - 1}))
        return;
    rasterizer->DrawLine(*surface, Point{static_cast<int32_t>(ax), static_cast<int32_t>(ay)},
                         Point{static_cast<int32_t>(bx), static_cast<int32_t>(by)}, colour);
}

void RenderContext::FillRect(const Rect& rect, uint16_t colour)
{
    Surface* surface;
    const Rect c = effectiveClip(surface);
    if (c.empty())
        return;
    const Rect r = Gfx::intersect(rect, c);
    if (!r.empty())
        rasterizer->FillRect(*surface, r, colour);
}

void RenderContext::SetPixel(int32_t x, int32_t y, uint16_t colour)
{
    Surface* surface = targetSurface();
    if (clip.empty() || !surface || !surface->pixels)
        return;
    if (x >= 0 && x < surface->width && y >= 0 && y < surface->height)
        rasterizer->SetPixel(*surface, Point{x, y}, colour);
}

void RenderContext::BlitTransform(const Rect& to, const Gfx::Transform& t, const Surface& source,
                                  int32_t colourKey)
{
    Surface* surface;
    const Rect c = effectiveClip(surface);
    if (c.empty() || !source.pixels)
        return;
    const Rect r = Gfx::intersect(to, c);
    if (r.empty())
        return;
    if (colourKey < 0)
        rasterizer->BlitTransform(*surface, r, t, source);
    else
        rasterizer->BlitTransformColorKey(*surface, r, t, source, static_cast<uint16_t>(colourKey));
}

void RenderContext::DrawCircle(int32_t cx, int32_t cy, int32_t radius, uint16_t colour)
{
    Surface* surface;
    const Rect c = effectiveClip(surface);
    if (c.empty() || radius < 0)
        return;
    // A circle whose bounding box misses the clip has nothing to draw.
    const Span box{int64_t(cx) - radius, int64_t(cy) - radius, int64_t(cx) + radius + 1,
                   int64_t(cy) + radius + 1};
    if (isEmpty(cut(box, c)))
        return;
    // Every plotted point lies within one pixel of the radius: a clip whose corners are all
    // nearer the centre than radius - 1 lies inside the ring and has nothing to draw. This
    // also spares walking a huge circle around a small clip point by point.
    int64_t farthest = 0;
    for (int64_t x : {int64_t(c.left), int64_t(c.right) - 1})
        for (int64_t y : {int64_t(c.top), int64_t(c.bottom) - 1})
            farthest = std::max(farthest, (x - cx) * (x - cx) + (y - cy) * (y - cy));
    const int64_t inner = int64_t(radius) - 1;
    if (inner > 0 && farthest < inner * inner)
        return;
    rasterizer->DrawCircleClipped(*surface, Point{cx, cy}, radius, colour, c);
}

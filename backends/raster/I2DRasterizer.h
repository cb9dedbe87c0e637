// The rasteriser's interface. Implementations trust their arguments: every rectangle, point and
// count must lie inside the target surface (DrawCircleClipped excepted, which tests each point
// against its clip). RenderContext is the front end that clips.
#pragma once

#include "raster/RasterTypes.h"
#include "raster/Surface.h"

namespace Gfx::Internal {

class I2DRasterizer
{
  public:
    virtual ~I2DRasterizer() = default;

    // Copies the source rectangle with its top-left corner at `at`.
    virtual void Blit(Surface& target, Point at, const Surface& source, const Rect& from) = 0;
    // As Blit; source pixels equal to `key` leave the target unchanged.
    virtual void BlitColorKey(Surface& target, Point at, const Surface& source, const Rect& from,
                              uint16_t key) = 0;
    // Fills `to` with source pixels found through `t`; positions outside the source are
    // skipped.
    virtual void BlitTransform(Surface& target, const Rect& to, const Transform& t,
                               const Surface& source) = 0;
    virtual void BlitTransformColorKey(Surface& target, const Rect& to, const Transform& t,
                                       const Surface& source, uint16_t key) = 0;
    virtual void DrawCircleClipped(Surface& target, Point centre, int32_t radius, uint16_t colour,
                                   const Rect& clip) = 0;
    virtual void DrawCircle(Surface& target, Point centre, int32_t radius, uint16_t colour) = 0;
    virtual void Clear(Surface& target, uint16_t colour) = 0;
    virtual void FillRect(Surface& target, const Rect& rect, uint16_t colour) = 0;
    virtual void DrawHLine(Surface& target, Point from, int32_t count, uint16_t colour) = 0;
    // Both ends included.
    virtual void DrawLine(Surface& target, Point p0, Point p1, uint16_t colour) = 0;
    virtual void SetPixel(Surface& target, Point at, uint16_t colour) = 0;
    virtual void DrawVLine(Surface& target, Point from, int32_t count, uint16_t colour) = 0;
};

} // namespace Gfx::Internal

// The clipping front end of the rasteriser: a target holder, a clip rectangle and the global
// Raster2D. Every operation cuts its arguments to the clip and to the target surface before the
// rasteriser sees them, so no call, whatever its arguments, writes outside the target.
#pragma once

#include "raster/I2DRasterizer.h"
#include "raster/ImageHolder.h"
#include "raster/RasterTypes.h"

class RenderContext
{
  public:
    // No target yet; draws nothing until one is bound.
    RenderContext();
    // Binds `target` (which may be null) as SetTarget does.
    explicit RenderContext(ImageHolder* target);
    virtual ~RenderContext() = default;

    // Binds `holder` and resets the clip to its whole surface; returns the holder bound before.
    ImageHolder* SetTarget(ImageHolder* holder);
    Surface* targetSurface() const { return target ? target->drawSurface() : nullptr; }

    // Draws `source` (or its `from` part) with its top-left corner at (x, y), skipping pixels
    // equal to the holder's colour key when it has one.
    void Blit(int32_t x, int32_t y, const ImageHolder& source, const Gfx::Rect* from = nullptr);
    // The same with an explicit key (negative: opaque).
    void Blit(int32_t x, int32_t y, const Surface& source, const Gfx::Rect* from,
              int32_t colourKey);
    // `count` pixels right of / below (x, y).
    void DrawHLine(int32_t x, int32_t y, int32_t count, uint16_t colour);
    void DrawVLine(int32_t x, int32_t y, int32_t count, uint16_t colour);
    // Horizontal and vertical lines leave out their larger end and a zero-length line draws
    // nothing; sloped lines include both ends.
    void DrawLine(int32_t x1, int32_t y1, int32_t x2, int32_t y2, uint16_t colour);
    void FillRect(const Gfx::Rect& rect, uint16_t colour);
    // Tested against the surface, not the clip.
    void SetPixel(int32_t x, int32_t y, uint16_t colour);
    // Affine blit into `to`, cut to the clip (the source pixel each destination pixel takes does
    // not depend on the rectangle); keyed when colourKey >= 0.
    void BlitTransform(const Gfx::Rect& to, const Gfx::Transform& t, const Surface& source,
                       int32_t colourKey);
    void DrawCircle(int32_t cx, int32_t cy, int32_t radius, uint16_t colour);

    ImageHolder* target = nullptr;
    Gfx::Rect clip;
    Gfx::Internal::I2DRasterizer* rasterizer;

  private:
    // The clip cut to the target surface; empty when there is no surface.
    Gfx::Rect effectiveClip(Surface*& surface) const;
    // DrawHLine and DrawVLine with a count that may exceed 32 bits.
    void horizontalRun(int32_t x, int32_t y, int64_t count, uint16_t colour);
    void verticalRun(int32_t x, int32_t y, int64_t count, uint16_t colour);
};

// The software rasteriser for RGB565 surfaces. It has no state; every RenderContext uses the one
// instance returned by Raster2D::instance().
#pragma once

#include "raster/I2DRasterizer.h"

namespace Gfx::Internal {

class Raster2D final : public I2DRasterizer
{
  public:
    static Raster2D& instance();

    ~Raster2D() override = default;
    void Blit(Surface& target, Point at, const Surface& source, const Rect& from) override;
    void BlitColorKey(Surface& target, Point at, const Surface& source, const Rect& from,
                      uint16_t key) override;
    void BlitTransform(Surface& target, const Rect& to, const Transform& t,
                       const Surface& source) override;
    void BlitTransformColorKey(Surface& target, const Rect& to, const Transform& t,
                               const Surface& source, uint16_t key) override;
    void DrawCircleClipped(Surface& target, Point centre, int32_t radius, uint16_t colour,
                           const Rect& clip) override;
    void DrawCircle(Surface& target, Point centre, int32_t radius, uint16_t colour) override;
    void Clear(Surface& target, uint16_t colour) override;
    void FillRect(Surface& target, const Rect& rect, uint16_t colour) override;
    void DrawHLine(Surface& target, Point from, int32_t count, uint16_t colour) override;
    void DrawLine(Surface& target, Point p0, Point p1, uint16_t colour) override;
    void SetPixel(Surface& target, Point at, uint16_t colour) override;
    void DrawVLine(Surface& target, Point from, int32_t count, uint16_t colour) override;
};

} // namespace Gfx::Internal

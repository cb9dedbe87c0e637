// The GDI object model behind the handles, for the parts of the layer that draw or present:
// bitmaps with their pixels, device contexts with their selections.
#pragma once

#include "platform/FontEngine.h"
#include "platform/gdi.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

namespace platform::gdi {

enum class ObjectKind { Bitmap, Brush, Font };

struct Object
{
    explicit Object(ObjectKind k) : kind(k) {}
    virtual ~Object() = default;
    ObjectKind kind;
    bool stock = false;
};

struct Bitmap : Object
{
    Bitmap() : Object(ObjectKind::Bitmap) {}
    int width = 0;
    int height = 0;
    int bitsPerPixel = 0; // 16 (RGB565) or 32 (0x00RRGGBB)
    bool topDown = true;
    int pitch = 0; // bytes per row, DWORD-aligned
    std::vector<uint8_t> storage;
    // Set by presentInPlace: a copy of the whole bitmap into a window of its size shows these
    // pixels where they are instead of copying them.
    bool showInPlace = false;

    uint8_t* row(int y)
    {
        return storage.data() + static_cast<size_t>(topDown ? y : height - 1 - y) * pitch;
    }
    // Reads and writes in 0x00RRGGBB, converting for 16-bit bitmaps.
    uint32_t pixel(int x, int y);
    void setPixel(int x, int y, uint32_t rgb);
};

struct Brush : Object
{
    Brush() : Object(ObjectKind::Brush) {}
    COLORREF colour = 0;
};

struct Font : Object
{
    Font() : Object(ObjectKind::Font) {}
    LOGFONTW logFont{};
    std::unique_ptr<FontInstance> instance; // null when no face could be loaded
};

enum class DcKind { Screen, Window, Memory };

struct DeviceContext
{
    DcKind kind = DcKind::Memory;
    HWND window = nullptr;
    Bitmap* bitmap = nullptr; // selected bitmap (memory DCs)
    Font* font = nullptr;
    Brush* brush = nullptr;
    COLORREF textColour = 0;
    COLORREF backColour = 0xFFFFFF;
    int backMode = OPAQUE;
    UINT textAlign = 0;
};

Bitmap* bitmapOf(HGDIOBJ handle);
DeviceContext* dcOf(HDC handle);
// Live objects and DCs created and not yet deleted (stock objects excluded), for leak checks.
int liveObjectCount();

// Installed by the window system: presents a rectangle of a bitmap into a window at (x, y).
using WindowPresenter = std::function<void(HWND window, Bitmap& source, int srcX, int srcY, int x,
                                           int y, int width, int height)>;
void setWindowPresenter(WindowPresenter presenter);
// Installed by the window system: told before a bitmap is deleted.
using BitmapDeletion = std::function<void(Bitmap& bitmap)>;
void setBitmapDeletion(BitmapDeletion deletion);

// Lets `BitBlt` of the whole of this 16-bit bitmap into a window of the same size show the
// bitmap's pixels in place: the window presents straight from them and copies them into its
// own pixels only when those are asked for or drawn over, or the bitmap is deleted. For a
// frame that is drawn into the bitmap and then always presented before anything else looks
// at the window (a display driver's back buffer); anything written into the bitmap before
// that copy is made is what the window's own pixels then hold. False for a handle that is
// not a bitmap.
bool presentInPlace(HBITMAP bitmap);

} // namespace platform::gdi

#include "platform/gdi/GdiObjects.h"

#include "platform/DeviceProfile.h"
#include "platform/FontEngine.h"
#include "platform/sysinfo.h"

#include <algorithm>
#include <cstring>
#include <mutex>
#include <set>
#include <string>

namespace platform::gdi {

namespace {

struct Registry
{
    std::mutex lock;
    std::set<Object*> objects;
    std::set<DeviceContext*> dcs;
    WindowPresenter presenter;
    BitmapDeletion deletion;
    Brush stockWhite;
    Brush stockBlack;

    Registry()
    {
        stockWhite.colour = 0xFFFFFF;
        stockWhite.stock = true;
        stockBlack.colour = 0;
        stockBlack.stock = true;
    }
};

Registry& registry()
{
    static Registry* r = new Registry;
    return *r;
}

} // namespace

uint32_t Bitmap::pixel(int x, int y)
{
    uint8_t* p = row(y);
    if (bitsPerPixel == 16) {
        uint16_t v;
        std::memcpy(&v, p + x * 2, 2);
        uint32_t r = (v >> 11) & 0x1F, g = (v >> 5) & 0x3F, b = v & 0x1F;
        return ((r << 3 | r >> 2) << 16) | ((g << 2 | g >> 4) << 8) | (b << 3 | b >> 2);
    }
    uint32_t v;
    std::memcpy(&v, p + x * 4, 4);
    return v & 0xFFFFFF;
}

void Bitmap::setPixel(int x, int y, uint32_t rgb)
{
    uint8_t* p = row(y);
    if (bitsPerPixel == 16) {
        uint16_t v = static_cast<uint16_t>(((rgb >> 8) & 0xF800) | ((rgb >> 5) & 0x07E0) |
                                           ((rgb >> 3) & 0x001F));
        std::memcpy(p + x * 2, &v, 2);
    } else {
        std::memcpy(p + x * 4, &rgb, 4);
    }
}

Bitmap* bitmapOf(HGDIOBJ handle)
{
    auto* o = static_cast<Object*>(handle);
    Registry& r = registry();
    std::lock_guard<std::mutex> guard(r.lock);
    if (!o || !r.objects.count(o) || o->kind != ObjectKind::Bitmap)
        return nullptr;
    return static_cast<Bitmap*>(o);
}

DeviceContext* dcOf(HDC handle)
{
    auto* dc = reinterpret_cast<DeviceContext*>(handle);
    Registry& r = registry();
    std::lock_guard<std::mutex> guard(r.lock);
    return dc && r.dcs.count(dc) ? dc : nullptr;
}

int liveObjectCount()
{
    Registry& r = registry();
    std::lock_guard<std::mutex> guard(r.lock);
    return static_cast<int>(r.objects.size() + r.dcs.size());
}

void setWindowPresenter(WindowPresenter presenter)
{
    Registry& r = registry();
    std::lock_guard<std::mutex> guard(r.lock);
    r.presenter = std::move(presenter);
}

void setBitmapDeletion(BitmapDeletion deletion)
{
    Registry& r = registry();
    std::lock_guard<std::mutex> guard(r.lock);
    r.deletion = std::move(deletion);
}

bool presentInPlace(HBITMAP bitmap)
{
    Bitmap* b = bitmapOf(bitmap);
    if (!b)
        return false;
    b->showInPlace = true;
    return true;
}

namespace {

template <class T> T* track(T* object)
{
    Registry& r = registry();
    std::lock_guard<std::mutex> guard(r.lock);
    r.objects.insert(object);
    return object;
}

Object* objectOf(HGDIOBJ handle)
{
    auto* o = static_cast<Object*>(handle);
    Registry& r = registry();
    std::lock_guard<std::mutex> guard(r.lock);
    if (o == &r.stockWhite || o == &r.stockBlack)
        return o;
    return o && r.objects.count(o) ? o : nullptr;
}

HDC newDc(DcKind kind, HWND window)
{
    auto* dc = new DeviceContext;
    dc->kind = kind;
    dc->window = window;
    Registry& r = registry();
    std::lock_guard<std::mutex> guard(r.lock);
    r.dcs.insert(dc);
    return reinterpret_cast<HDC>(dc);
}

bool destroyDc(HDC handle)
{
    auto* dc = reinterpret_cast<DeviceContext*>(handle);
    Registry& r = registry();
    {
        std::lock_guard<std::mutex> guard(r.lock);
        if (!dc || !r.dcs.erase(dc))
            return false;
    }
    delete dc;
    return true;
}

WindowPresenter presenter()
{
    Registry& r = registry();
    std::lock_guard<std::mutex> guard(r.lock);
    return r.presenter;
}

} // namespace
} // namespace platform::gdi

using namespace platform::gdi;

HDC GetDC(HWND window)
{
    return newDc(window ? DcKind::Window : DcKind::Screen, window);
}

int ReleaseDC(HWND, HDC dc)
{
    DeviceContext* d = dcOf(dc);
    if (!d || d->kind == DcKind::Memory)
        return 0;
    return destroyDc(dc) ? 1 : 0;
}

HDC CreateCompatibleDC(HDC)
{
    return newDc(DcKind::Memory, nullptr);
}

BOOL DeleteDC(HDC dc)
{
    DeviceContext* d = dcOf(dc);
    if (!d || d->kind != DcKind::Memory) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    return destroyDc(dc) ? TRUE : FALSE;
}

HGDIOBJ SelectObject(HDC dc, HGDIOBJ object)
{
    DeviceContext* d = dcOf(dc);
    Object* o = objectOf(object);
    if (!d || !o)
        return nullptr;
    switch (o->kind) {
    case ObjectKind::Bitmap: {
        if (d->kind != DcKind::Memory)
            return nullptr;
        Bitmap* old = d->bitmap;
        d->bitmap = static_cast<Bitmap*>(o);
        return old;
    }
    case ObjectKind::Brush: {
        Brush* old = d->brush;
        d->brush = static_cast<Brush*>(o);
        return old;
    }
    case ObjectKind::Font: {
        Font* old = d->font;
        d->font = static_cast<Font*>(o);
        return old;
    }
    }
    return nullptr;
}

// Objects still selected into a DC are deleted anyway (the DC forgets them) rather than leaked.
BOOL DeleteObject(HGDIOBJ object)
{
    auto* o = static_cast<Object*>(object);
    Registry& r = registry();
    BitmapDeletion deleting;
    {
        std::lock_guard<std::mutex> guard(r.lock);
        // Membership first: a handle already deleted must not be read.
        if (!o || !r.objects.count(o) || o->stock)
            return FALSE;
        r.objects.erase(o);
        if (o->kind == ObjectKind::Bitmap)
            deleting = r.deletion;
        for (DeviceContext* dc : r.dcs) {
            if (dc->bitmap == o)
                dc->bitmap = nullptr;
            if (dc->brush == o)
                dc->brush = nullptr;
            if (dc->font == o)
                dc->font = nullptr;
        }
    }
    // A window that shows the bitmap in place takes its pixels first.
    if (deleting)
        deleting(*static_cast<Bitmap*>(o));
    delete o;
    return TRUE;
}

HGDIOBJ GetStockObject(int index)
{
    Registry& r = registry();
    if (index == WHITE_BRUSH)
        return &r.stockWhite;
    if (index == BLACK_BRUSH)
        return &r.stockBlack;
    return nullptr;
}

int GetObjectW(HGDIOBJ object, int size, LPVOID out)
{
    Bitmap* b = bitmapOf(object);
    if (!b || !out || size < static_cast<int>(sizeof(BITMAP)))
        return 0;
    BITMAP info{};
    info.bmWidth = b->width;
    info.bmHeight = b->height;
    info.bmWidthBytes = b->pitch;
    info.bmPlanes = 1;
    info.bmBitsPixel = static_cast<WORD>(b->bitsPerPixel);
    info.bmBits = b->storage.data();
    std::memcpy(out, &info, sizeof info);
    return sizeof info;
}

int GetDeviceCaps(HDC dc, int index)
{
    if (!dcOf(dc))
        return 0;
    switch (index) {
    case HORZRES:
        return GetSystemMetrics(SM_CXSCREEN);
    case VERTRES:
        return GetSystemMetrics(SM_CYSCREEN);
    case BITSPIXEL:
        return platform::DeviceProfile::current().bitsPerPixel;
    case LOGPIXELSY:
        return platform::DeviceProfile::current().logPixelsY;
    default:
        return 0;
    }
}

HBITMAP CreateDIBSection(HDC, const BITMAPINFO* info, UINT usage, void** bits, HANDLE, DWORD)
{
    if (bits)
        *bits = nullptr;
    if (!info || usage != DIB_RGB_COLORS || info->bmiHeader.biPlanes != 1)
        return nullptr;
    const BITMAPINFOHEADER& h = info->bmiHeader;
    int width = h.biWidth;
    int height = h.biHeight < 0 ? -h.biHeight : h.biHeight;
    bool rgb565 = h.biBitCount == 16 && h.biCompression == BI_BITFIELDS &&
                  info->bmiColors[0] == 0xF800 && info->bmiColors[1] == 0x07E0 &&
                  info->bmiColors[2] == 0x001F;
    bool rgb32 = h.biBitCount == 32 && h.biCompression == BI_RGB;
    if (width <= 0 || height <= 0 || width > 16384 || height > 16384 || !(rgb565 || rgb32))
        return nullptr;
    auto* b = new Bitmap;
    b->width = width;
    b->height = height;
    b->bitsPerPixel = h.biBitCount;
    b->topDown = h.biHeight < 0;
    b->pitch = ((width * h.biBitCount / 8) + 3) & ~3;
    b->storage.assign(static_cast<size_t>(b->pitch) * height, 0);
    track(b);
    if (bits)
        *bits = b->storage.data();
    return reinterpret_cast<HBITMAP>(static_cast<Object*>(b));
}

HBRUSH CreateSolidBrush(COLORREF colour)
{
    auto* b = new Brush;
    b->colour = colour & 0xFFFFFF;
    track(b);
    return reinterpret_cast<HBRUSH>(static_cast<Object*>(b));
}

namespace {
uint32_t toRgb(COLORREF c)
{
    return ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF);
}
} // namespace

int FillRect(HDC dc, const RECT* rect, HBRUSH brush)
{
    DeviceContext* d = dcOf(dc);
    auto* o = objectOf(brush);
    if (!d || !rect || !o || o->kind != ObjectKind::Brush || !d->bitmap)
        return 0;
    Bitmap& b = *d->bitmap;
    uint32_t rgb = toRgb(static_cast<Brush*>(o)->colour);
    int left = std::max<int>(rect->left, 0), right = std::min<int>(rect->right, b.width);
    int top = std::max<int>(rect->top, 0), bottom = std::min<int>(rect->bottom, b.height);
    for (int y = top; y < bottom; ++y) {
        for (int x = left; x < right; ++x)
            b.setPixel(x, y, rgb);
    }
    return 1;
}

BOOL BitBlt(HDC dst, int x, int y, int width, int height, HDC src, int srcX, int srcY, DWORD rop)
{
    DeviceContext* to = dcOf(dst);
    DeviceContext* from = dcOf(src);
    if (!to || !from || rop != SRCCOPY || !from->bitmap)
        return FALSE;
    Bitmap& s = *from->bitmap;
    // Clip against the source bitmap first; the destination clips below or in the presenter.
    if (srcX < 0) {
        x -= srcX;
        width += srcX;
        srcX = 0;
    }
    if (srcY < 0) {
        y -= srcY;
        height += srcY;
        srcY = 0;
    }
    width = std::min(width, s.width - srcX);
    height = std::min(height, s.height - srcY);
    if (width <= 0 || height <= 0)
        return TRUE;
    if (to->kind == DcKind::Memory) {
        if (!to->bitmap)
            return FALSE;
        Bitmap& d = *to->bitmap;
        for (int row = 0; row < height; ++row) {
            int dy = y + row;
            if (dy < 0 || dy >= d.height)
                continue;
            for (int col = 0; col < width; ++col) {
                int dx = x + col;
                if (dx >= 0 && dx < d.width)
                    d.setPixel(dx, dy, s.pixel(srcX + col, srcY + row));
            }
        }
        return TRUE;
    }
    WindowPresenter present = presenter();
    if (present)
        present(to->window, s, srcX, srcY, x, y, width, height);
    return TRUE;
}

HFONT CreateFontIndirectW(const LOGFONTW* logFont)
{
    if (!logFont)
        return nullptr;
    auto* f = new Font;
    f->logFont = *logFont;
    // A name that fills the whole field has no terminator: never read past the field.
    size_t nameLength = 0;
    while (nameLength < LF_FACESIZE && logFont->lfFaceName[nameLength])
        ++nameLength;
    std::u16string face(logFont->lfFaceName, nameLength);
    platform::FontRequest request;
    if (face == u"Courier New" || (logFont->lfPitchAndFamily & 0xF0) == FF_MODERN)
        request.family = "monospace";
    else if (face.empty() || face == u"Tahoma")
        request.family = "sans-serif";
    else
        request.family = std::string(face.begin(), face.end()); // face names are ASCII
    request.height = logFont->lfHeight == 0 ? -12 : logFont->lfHeight;
    request.bold = logFont->lfWeight >= 600;
    request.italic = logFont->lfItalic != 0;
    request.underline = logFont->lfUnderline != 0;
    f->instance = platform::FontEngine::open(request);
    track(f);
    return reinterpret_cast<HFONT>(static_cast<Object*>(f));
}

BOOL GetTextMetricsW(HDC dc, TEXTMETRICW* metrics)
{
    DeviceContext* d = dcOf(dc);
    if (!d || !metrics || !d->font || !d->font->instance)
        return FALSE;
    platform::FontInstance& f = *d->font->instance;
    *metrics = TEXTMETRICW{};
    metrics->tmAscent = f.ascent();
    metrics->tmDescent = f.descent();
    metrics->tmHeight = f.height();
    metrics->tmAveCharWidth = f.advance(U'x');
    metrics->tmMaxCharWidth = f.advance(U'W');
    metrics->tmWeight = d->font->logFont.lfWeight;
    return TRUE;
}

BOOL GetCharWidth32W(HDC dc, UINT first, UINT last, INT* widths)
{
    DeviceContext* d = dcOf(dc);
    if (!d || !widths || last < first || !d->font || !d->font->instance)
        return FALSE;
    // Counted rather than compared with `last`, which may be the largest UINT.
    for (uint64_t i = 0, n = uint64_t(last) - first + 1; i < n; ++i)
        widths[i] = d->font->instance->advance(static_cast<char32_t>(first + i));
    return TRUE;
}

namespace {

// Replaces one setting of a DC and returns the old value, or `failed` for a bad DC.
template <class T> T exchangeSetting(HDC dc, T DeviceContext::*field, T value, T failed)
{
    DeviceContext* d = dcOf(dc);
    if (!d)
        return failed;
    T old = d->*field;
    d->*field = value;
    return old;
}

} // namespace

UINT SetTextAlign(HDC dc, UINT align)
{
    return exchangeSetting<UINT>(dc, &DeviceContext::textAlign, align, 0xFFFFFFFF);
}

COLORREF SetTextColor(HDC dc, COLORREF colour)
{
    return exchangeSetting<COLORREF>(dc, &DeviceContext::textColour, colour, 0xFFFFFFFF);
}

COLORREF SetBkColor(HDC dc, COLORREF colour)
{
    return exchangeSetting<COLORREF>(dc, &DeviceContext::backColour, colour, 0xFFFFFFFF);
}

int SetBkMode(HDC dc, int mode)
{
    DeviceContext* d = dcOf(dc);
    if (!d || (mode != OPAQUE && mode != TRANSPARENT))
        return 0;
    int old = d->backMode;
    d->backMode = mode;
    return old;
}

// Top-left aligned text into the selected bitmap; OPAQUE mode fills each cell first.
BOOL ExtTextOutW(HDC dc, int x, int y, UINT, const RECT*, LPCWSTR text, UINT count, const INT*)
{
    DeviceContext* d = dcOf(dc);
    if (!d || !d->bitmap || (!text && count > 0))
        return FALSE;
    if (!d->font || !d->font->instance)
        return TRUE; // nothing can be drawn without a face: no ink
    Bitmap& b = *d->bitmap;
    platform::FontInstance& f = *d->font->instance;
    uint32_t ink = toRgb(d->textColour);
    uint32_t back = toRgb(d->backColour);
    auto plot = [&](int px, int py, uint32_t rgb) {
        if (px >= 0 && py >= 0 && px < b.width && py < b.height)
            b.setPixel(px, py, rgb);
    };
    for (UINT i = 0; i < count; ++i) {
        char32_t c = text[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < count && text[i + 1] >= 0xDC00 &&
            text[i + 1] <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            ++i;
        }
        int advance = f.advance(c);
        if (d->backMode == OPAQUE) {
            for (int row = 0; row < f.height(); ++row) {
                for (int col = 0; col < advance; ++col)
                    plot(x + col, y + row, back);
            }
        }
        f.render(c, x, y, [&](int px, int py) { plot(px, py, ink); });
        x += advance;
    }
    return TRUE;
}

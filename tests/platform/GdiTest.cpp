#include "DibInfo.h"

#include "platform/gdi.h"
#include "platform/gdi/GdiObjects.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

uint16_t pixel16(void* bits, int pitch, int x, int y)
{
    uint16_t v;
    std::memcpy(&v, static_cast<uint8_t*>(bits) + y * pitch + x * 2, 2);
    return v;
}

} // namespace

TEST(GdiBitmaps, DibSectionsOfTheTwoSupportedFormats)
{
    int before = platform::gdi::liveObjectCount();
    void* bits = nullptr;
    BITMAPINFO top = dibInfo(3, -2, 16);
    HBITMAP b16 = CreateDIBSection(nullptr, &top, DIB_RGB_COLORS, &bits, nullptr, 0);
    ASSERT_NE(nullptr, b16);
    ASSERT_NE(nullptr, bits);
    BITMAP desc{};
    ASSERT_EQ(static_cast<int>(sizeof desc), GetObjectW(b16, sizeof desc, &desc));
    EXPECT_EQ(8, desc.bmWidthBytes); // 3 * 2 bytes rounded up to a DWORD
    EXPECT_EQ(16, desc.bmBitsPixel);

    BITMAPINFO wrongMasks = dibInfo(3, 2, 16);
    wrongMasks.bmiColors[0] = 0x7C00;
    void* none = reinterpret_cast<void*>(1);
    EXPECT_EQ(nullptr, CreateDIBSection(nullptr, &wrongMasks, DIB_RGB_COLORS, &none, nullptr, 0));
    EXPECT_EQ(nullptr, none);
    BITMAPINFO eight = dibInfo(3, 2, 8);
    EXPECT_EQ(nullptr, CreateDIBSection(nullptr, &eight, DIB_RGB_COLORS, &none, nullptr, 0));
    BITMAPINFO empty = dibInfo(0, 2, 32);
    EXPECT_EQ(nullptr, CreateDIBSection(nullptr, &empty, DIB_RGB_COLORS, &none, nullptr, 0));

    EXPECT_EQ(before + 1, platform::gdi::liveObjectCount());
    EXPECT_TRUE(DeleteObject(b16));
    EXPECT_FALSE(DeleteObject(b16));
    EXPECT_EQ(before, platform::gdi::liveObjectCount());
}

TEST(GdiDrawing, FillRectAndBitBltClipToTheBitmaps)
{
    HDC screen = GetDC(nullptr);
    HDC a = CreateCompatibleDC(screen);
    HDC b = CreateCompatibleDC(screen);
    void* bitsA = nullptr;
    void* bitsB = nullptr;
    BITMAPINFO bi = dibInfo(4, -4, 16);
    HBITMAP bmA = CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bitsA, nullptr, 0);
    HBITMAP bmB = CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bitsB, nullptr, 0);
    SelectObject(a, bmA);
    SelectObject(b, bmB);
    HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
    RECT r{-5, 1, 2, 99};
    EXPECT_EQ(1, FillRect(a, &r, red));
    EXPECT_EQ(0xF800, pixel16(bitsA, 8, 0, 1));
    EXPECT_EQ(0xF800, pixel16(bitsA, 8, 1, 3));
    EXPECT_EQ(0, pixel16(bitsA, 8, 2, 1));
    EXPECT_EQ(0, pixel16(bitsA, 8, 0, 0));

    EXPECT_TRUE(BitBlt(b, 2, 0, 10, 10, a, 0, 0, SRCCOPY));
    EXPECT_EQ(0xF800, pixel16(bitsB, 8, 2, 1));
    EXPECT_EQ(0xF800, pixel16(bitsB, 8, 3, 3));
    EXPECT_EQ(0, pixel16(bitsB, 8, 1, 1));
    EXPECT_FALSE(BitBlt(b, 0, 0, 1, 1, a, 0, 0, 0x00EE0086)); // only SRCCOPY

    DeleteObject(red);
    DeleteDC(a);
    DeleteDC(b);
    DeleteObject(bmA);
    DeleteObject(bmB);
    ReleaseDC(nullptr, screen);
}

TEST(GdiText, MonochromeTextLandsUprightInABottomUpDib)
{
    HDC dc = CreateCompatibleDC(nullptr);
    void* bits = nullptr;
    BITMAPINFO bi = dibInfo(40, 40, 32); // positive height: bottom-up rows
    HBITMAP bm = CreateDIBSection(dc, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    SelectObject(dc, bm);
    LOGFONTW lf{};
    lf.lfHeight = -16;
    lf.lfWeight = FW_NORMAL;
    lf.lfQuality = NONANTIALIASED_QUALITY;
    std::memcpy(lf.lfFaceName, u"Tahoma", 14);
    HFONT font = CreateFontIndirectW(&lf);
    SelectObject(dc, font);
    TEXTMETRICW tm{};
    ASSERT_TRUE(GetTextMetricsW(dc, &tm));
    EXPECT_EQ(tm.tmAscent + tm.tmDescent, tm.tmHeight);
    INT width = 0;
    ASSERT_TRUE(GetCharWidth32W(dc, 'T', 'T', &width));
    EXPECT_GT(width, 0);

    HBRUSH white = CreateSolidBrush(0xFFFFFF);
    RECT all{0, 0, 40, 40};
    FillRect(dc, &all, white);
    SetTextColor(dc, 0);
    const char16_t t = u'T';
    ASSERT_TRUE(ExtTextOutW(dc, 0, 0, 0, nullptr, &t, 1, nullptr));
    // The bar of a T is near the top of the cell: count black pixels in the top and bottom
    // halves reading rows from the top of the bitmap (stored last in a bottom-up DIB).
    auto black = [&](int x, int row) {
        uint32_t v;
        std::memcpy(&v, static_cast<uint8_t*>(bits) + (39 - row) * 160 + x * 4, 4);
        return (v & 0xFFFFFF) == 0;
    };
    int topRow = -1;
    for (int row = 0; row < tm.tmHeight && topRow < 0; ++row) {
        for (int x = 0; x < width; ++x) {
            if (black(x, row)) {
                topRow = row;
                break;
            }
        }
    }
    ASSERT_GE(topRow, 0);
    EXPECT_LT(topRow, tm.tmHeight / 2);
    int barInk = 0;
    for (int x = 0; x < width; ++x)
        barInk += black(x, topRow);
    EXPECT_GT(barInk, width / 2); // the bar spans most of the advance

    DeleteObject(white);
    DeleteDC(dc);
    DeleteObject(font);
    DeleteObject(bm);
}

TEST(GdiText, CharWidthsUpToTheLargestCode)
{
    HDC dc = CreateCompatibleDC(nullptr);
    LOGFONTW lf{};
    lf.lfHeight = -12;
    HFONT font = CreateFontIndirectW(&lf);
    SelectObject(dc, font);
    // The range ends at the largest code: two widths, and the loop must end there.
    INT widths[3] = {-7, -7, -7};
    ASSERT_TRUE(GetCharWidth32W(dc, 0xFFFFFFFE, 0xFFFFFFFF, widths));
    EXPECT_GE(widths[0], 0);
    EXPECT_GE(widths[1], 0);
    EXPECT_EQ(-7, widths[2]);
    INT ab[2] = {0, 0};
    ASSERT_TRUE(GetCharWidth32W(dc, 'A', 'B', ab));
    EXPECT_GT(ab[0], 0);
    EXPECT_GT(ab[1], 0);
    EXPECT_FALSE(GetCharWidth32W(dc, 'B', 'A', ab));
    DeleteObject(font);
    DeleteDC(dc);
}

TEST(GdiText, AFaceNameFillingTheWholeFieldIsReadWithinIt)
{
    // No terminator inside the field; the structure ends right after it.
    auto* lf = new LOGFONTW{};
    lf->lfHeight = -12;
    for (int i = 0; i < LF_FACESIZE; ++i)
        lf->lfFaceName[i] = u'x';
    HFONT font = CreateFontIndirectW(lf);
    delete lf;
    ASSERT_NE(nullptr, font);
    HDC dc = CreateCompatibleDC(nullptr);
    SelectObject(dc, font);
    TEXTMETRICW tm{};
    EXPECT_TRUE(GetTextMetricsW(dc, &tm)); // some face stands in for the unknown name
    DeleteObject(font);
    DeleteDC(dc);
}

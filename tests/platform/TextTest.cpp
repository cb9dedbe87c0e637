#include "platform/text.h"
#include "platform/entry.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>

using platform::utf16ToUtf8;
using platform::utf8ToUtf16;

TEST(Cp1252, HighControlRangeMapsToItsPunctuation)
{
    // Checked against Python's cp1252 codec; the five undefined bytes map to C1 controls.
    EXPECT_EQ(platform::cp1252ToUnicode(0x80), u'\u20AC');
    EXPECT_EQ(platform::cp1252ToUnicode(0x85), u'\u2026');
    EXPECT_EQ(platform::cp1252ToUnicode(0x8A), u'\u0160');
    EXPECT_EQ(platform::cp1252ToUnicode(0x93), u'\u201C');
    EXPECT_EQ(platform::cp1252ToUnicode(0x99), u'\u2122');
    EXPECT_EQ(platform::cp1252ToUnicode(0x9F), u'\u0178');
    for (unsigned b : {0x81u, 0x8Du, 0x8Fu, 0x90u, 0x9Du})
        EXPECT_EQ(platform::cp1252ToUnicode(static_cast<unsigned char>(b)), char16_t(b));
    EXPECT_EQ(platform::cp1252ToUnicode(0x7F), u'\x7F');
    EXPECT_EQ(platform::cp1252ToUnicode(0xA0), u'\u00A0');
    EXPECT_EQ(platform::cp1252ToUnicode(0xFF), u'\u00FF');

    // Every byte round-trips.
    for (int b = 0; b < 256; ++b)
        EXPECT_EQ(
            platform::unicodeToCp1252(platform::cp1252ToUnicode(static_cast<unsigned char>(b))), b);
    // Latin-1's C1 controls that the code page replaced have no byte.
    EXPECT_EQ(platform::unicodeToCp1252(u'\u0080'), -1);
    EXPECT_EQ(platform::unicodeToCp1252(u'\u009F'), -1);
    EXPECT_EQ(platform::unicodeToCp1252(u'\u0100'), -1);
}

TEST(Cp1252, WideToMultiByteReplacesAndMeasures)
{
    const char16_t text[] = u"A\u20AC\u00E9\u4E2D\U0001F600z";
    // Size query with a null output counts the terminator of a -1 length.
    // The pair of surrogates is one character and becomes one '?'.
    EXPECT_EQ(WideCharToMultiByte(CP_ACP, 0, text, -1, nullptr, 0, nullptr, nullptr), 7);
    char out[8];
    std::fill(std::begin(out), std::end(out), 'x');
    BOOL used = FALSE;
    ASSERT_EQ(WideCharToMultiByte(CP_ACP, 0, text, -1, out, sizeof out, nullptr, &used), 7);
    EXPECT_EQ(std::string(out, 8), std::string("A\x80\xE9??z\0x", 8));
    EXPECT_TRUE(used);
    ASSERT_EQ(WideCharToMultiByte(CP_ACP, 0, u"plain", -1, out, sizeof out, nullptr, &used), 6);
    EXPECT_FALSE(used);

    // An explicit length has no terminator; too small an output writes nothing.
    EXPECT_EQ(WideCharToMultiByte(CP_ACP, 0, u"abc", 3, nullptr, 0, nullptr, nullptr), 3);
    char two[2] = {'x', 'x'};
    EXPECT_EQ(WideCharToMultiByte(CP_ACP, 0, u"abc", 3, two, 2, nullptr, nullptr), 0);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INSUFFICIENT_BUFFER));
    EXPECT_EQ(two[0], 'x');
    EXPECT_EQ(WideCharToMultiByte(CP_ACP, 0, u"", 0, nullptr, 0, nullptr, nullptr), 0);

    EXPECT_EQ(WideCharToMultiByte(CP_ACP, 0, nullptr, -1, nullptr, 0, nullptr, nullptr), 0);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
    EXPECT_EQ(WideCharToMultiByte(1251, 0, u"a", -1, nullptr, 0, nullptr, nullptr), 0);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
}

TEST(Cp1252, MultiByteToWideIsTheInverse)
{
    const char bytes[] = "\x80\x81\x9F\xFF";
    EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0, bytes, -1, nullptr, 0), 5);
    char16_t out[5];
    ASSERT_EQ(MultiByteToWideChar(CP_ACP, 0, bytes, -1, out, 5), 5);
    EXPECT_EQ(std::u16string(out), u"\u20AC\u0081\u0178\u00FF");
    EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0, bytes, 4, out, 3), 0);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INSUFFICIENT_BUFFER));

    char16_t utf[4];
    ASSERT_EQ(MultiByteToWideChar(CP_UTF8, 0, "\xC3\xA9", 2, utf, 4), 1);
    EXPECT_EQ(utf[0], u'\u00E9');
    EXPECT_EQ(MultiByteToWideChar(CP_UTF8, 0, "\xC3", 1, utf, 4), 0);
}

TEST(Utf, ValidTextRoundTrips)
{
    std::u16string wide;
    std::string narrow;
    const std::string samples[] = {
        "",
        "plain",
        "\xC2\x80",
        "\xDF\xBF",
        "\xE0\xA0\x80",
        "\xEF\xBF\xBF",
        "\xED\x9F\xBF", // U+D7FF, just below the surrogates
        "\xEE\x80\x80", // U+E000, just above them
        "\xF0\x90\x80\x80",
        "\xF4\x8F\xBF\xBF",
        std::string("nul\0inside", 10),
    };
    for (const std::string& s : samples) {
        ASSERT_TRUE(utf8ToUtf16(s, wide)) << s;
        ASSERT_TRUE(utf16ToUtf8(wide, narrow));
        EXPECT_EQ(narrow, s);
    }
    ASSERT_TRUE(utf8ToUtf16("\xF4\x8F\xBF\xBF", wide));
    EXPECT_EQ(wide, std::u16string({0xDBFF, 0xDFFF}));
    ASSERT_TRUE(utf8ToUtf16("\xF0\x9F\x98\x80", wide));
    EXPECT_EQ(wide, u"\U0001F600");
}

TEST(Utf, MalformedTextIsRejected)
{
    std::u16string wide = u"kept";
    const std::string bad[] = {
        "\x80",             // lone continuation
        "\xC0\x80",         // overlong NUL
        "\xC1\xBF",         // overlong
        "\xE0\x9F\xBF",     // overlong three-byte
        "\xF0\x8F\xBF\xBF", // overlong four-byte
        "\xED\xA0\x80",     // encoded surrogate
        "\xF4\x90\x80\x80", // beyond U+10FFFF
        "\xF8\x88\x80\x80\x80",
        "\xE2\x82", // truncated
        "ab\xC3",   // truncated at the end
        "\xC3\x28", // bad continuation
        "\xFF",
    };
    for (const std::string& s : bad)
        EXPECT_FALSE(utf8ToUtf16(s, wide)) << testing::PrintToString(s);
    EXPECT_EQ(wide, u"kept");

    std::string narrow = "kept";
    const std::u16string badWide[] = {
        std::u16string({0xD800}),       std::u16string({0xDC00}),
        std::u16string({0xD800, u'a'}), std::u16string({0xDC00, 0xD800}),
        std::u16string({u'a', 0xDBFF}),
    };
    for (const std::u16string& s : badWide)
        EXPECT_FALSE(utf16ToUtf8(s, narrow));
    EXPECT_EQ(narrow, "kept");
}

TEST(CommandLine, ArgumentsAfterTheProgramJoinedWithBlanks)
{
    const char* argv[] = {"/opt/pallasterhorn", "/nofullscreen", "/width=240", "d\xc3\xa9",
                          "j\xe0"};
    // The second word is not UTF-8: read as Windows-1252.
    EXPECT_EQ(u"/nofullscreen /width=240 d\u00e9 j\u00e0", platform::commandLineFrom(5, argv));
    EXPECT_EQ(u"", platform::commandLineFrom(1, argv));
}

#include "platform/crt.h"

#include <gtest/gtest.h>

#include <vector>

using platform::scanNumber16;

TEST(Wtol, ReadsLeadingDecimalNumbers)
{
    EXPECT_EQ(_wtol(u"240"), 240);
    EXPECT_EQ(_wtol(u"  \t-17xyz"), -17);
    EXPECT_EQ(_wtol(u"+8"), 8);
    EXPECT_EQ(_wtol(u""), 0);
    EXPECT_EQ(_wtol(u"-"), 0);
    EXPECT_EQ(_wtol(u"x12"), 0);
    EXPECT_EQ(_wtol(nullptr), 0);
    EXPECT_EQ(_wtol(u"99999999999"), 2147483647);
    EXPECT_EQ(_wtol(u"-99999999999"), -2147483647 - 1);

    // The command line reads the number one character after the keyword.
    const char16_t* withSeparator = u"/width=240";
    const char16_t* without = u"/width200";
    EXPECT_EQ(_wtol(withSeparator + 7), 240);
    EXPECT_EQ(_wtol(without + 7), 0); // "00"
    EXPECT_EQ(_wtol(u"=240"), 0);
}

TEST(Wcstok, SplitsOnBlanksAndSkipsRuns)
{
    std::u16string line = u"  /nofullscreen   /width=200 /height=300  ";
    std::vector<std::u16string> tokens;
    char16_t* context = nullptr;
    for (char16_t* t = wcstok(line.data(), u" ", &context); t; t = wcstok(nullptr, u" ", &context))
        tokens.emplace_back(t);
    EXPECT_EQ(tokens,
              (std::vector<std::u16string>{u"/nofullscreen", u"/width=200", u"/height=300"}));
    // Exhausted: further calls keep answering null.
    EXPECT_EQ(wcstok(nullptr, u" ", &context), nullptr);

    std::u16string empty = u"   ";
    EXPECT_EQ(wcstok(empty.data(), u" ", &context), nullptr);
    std::u16string multi = u"a,b;;c";
    EXPECT_EQ(std::u16string(wcstok(multi.data(), u",;", &context)), u"a");
    EXPECT_EQ(std::u16string(wcstok(nullptr, u",;", &context)), u"b");
    EXPECT_EQ(std::u16string(wcstok(nullptr, u",;", &context)), u"c");
}

TEST(WideCase, LowerAndUpperOverTheBmp)
{
    std::u16string s = u"Hello \u00C9T\u00C9 \u0391\u03B2 \u0416\u0436 \U0001F600 \u00DF 123";
    _wcsupr(s.data());
    EXPECT_EQ(s, u"HELLO \u00C9T\u00C9 \u0391\u0392 \u0416\u0416 \U0001F600 \u00DF 123");
    _wcslwr(s.data());
    EXPECT_EQ(s, u"hello \u00E9t\u00E9 \u03B1\u03B2 \u0436\u0436 \U0001F600 \u00DF 123");

    EXPECT_EQ(platform::wcsCompareNoCase(u"Toshiba E750 extra", u"toshiba e750", 12), 0);
    EXPECT_NE(platform::wcsCompareNoCase(u"Toshiba e740", u"toshiba e750", 12), 0);
    EXPECT_EQ(platform::wcsCompareNoCase(u"MOTOQ", u"motoq"), 0);
    EXPECT_LT(platform::wcsCompareNoCase(u"abc", u"ABCD"), 0);
    EXPECT_LT(platform::wcsCompare(u"abc", u"abd"), 0);
    EXPECT_GT(platform::wcsCompare(u"\uFFFF", u"a"), 0);
    EXPECT_EQ(platform::wcsCompare(u"same", u"same"), 0);
    EXPECT_EQ(platform::wcsLength(u"four"), 4u);
    EXPECT_EQ(platform::wcsLength(nullptr), 0u);
}

TEST(ScanNumber, DecimalAndHexLikeSwscanf)
{
    long v = -1;
    EXPECT_EQ(scanNumber16(u"42", "%d", &v), 1);
    EXPECT_EQ(v, 42);
    EXPECT_EQ(scanNumber16(u"  -7 rest", "%d", &v), 1);
    EXPECT_EQ(v, -7);
    v = 123;
    EXPECT_EQ(scanNumber16(u"name", "%d", &v), 0);
    EXPECT_EQ(v, 123); // untouched
    EXPECT_EQ(scanNumber16(u"", "%d", &v), 0);
    EXPECT_EQ(scanNumber16(u"-", "%d", &v), 0);

    EXPECT_EQ(scanNumber16(u"ff", "%x", &v), 1);
    EXPECT_EQ(v, 255);
    EXPECT_EQ(scanNumber16(u"0x1A2b", "%x", &v), 1);
    EXPECT_EQ(v, 0x1A2B);
    EXPECT_EQ(scanNumber16(u"0xg", "%x", &v), 1); // "0" then stop
    EXPECT_EQ(v, 0);
    EXPECT_EQ(scanNumber16(u"FFFFFFFF", "%x", &v), 1);
    EXPECT_EQ(v, 0xFFFFFFFFL);
    EXPECT_EQ(scanNumber16(u"zz", "%x", &v), 0);
    EXPECT_EQ(scanNumber16(u"12", "%s", &v), 0);
}

TEST(Format16, FormatsInUtf8AndConverts)
{
    EXPECT_EQ(platform::format16("0x%x %d", 255, -3), u"0xff -3");
    EXPECT_EQ(platform::format16("hwnd = %08X", 0xBEEFu), u"hwnd = 0000BEEF");
    EXPECT_EQ(platform::format16("%s!", "caf\xC3\xA9"), u"caf\u00E9!");
    // A narrow text that is not UTF-8 is shown byte by byte as Windows-1252.
    EXPECT_EQ(platform::format16("%s", "\x80\xE9"), u"\u20AC\u00E9");
    std::string longText(5000, 'q');
    EXPECT_EQ(platform::format16("%s", longText.c_str()).size(), 5000u);
}

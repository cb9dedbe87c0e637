// The switches of the command line, and the display size they give.
#include "CommandLine.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct Case
{
    const char16_t* line;
    int width;
    int height;
};

TEST(CommandLine, DisplaySizeFromTheSwitches)
{
    const Case cases[] = {
        {nullptr, 240, 320},
        {u"", 240, 320},
        {u"   ", 240, 320},
        {u"/width=200 /height=300", 240, 320}, // not without /nofullscreen
        {u"/nofullscreen /width=200 /height=300", 200, 300},
        {u"/height=300 /width=200 /nofullscreen", 200, 300},    // any order
        {u"/nofullscreen  /width=200   /height=300", 200, 300}, // runs of blanks
        {u"/nofullscreen /width=200", 240, 320},                // one number alone
        {u"/nofullscreen /width=0 /height=300", 240, 320},
        {u"/nofullscreen /width=-5 /height=300", 240, 320},
        {u"/nofullscreen /width=abc /height=300", 240, 320},
        {u"/nofullscreen /width:176 /height:220", 176, 220}, // any separator character
        {u"/nofullscreenplease /width=200 /height=300", 200, 300},
        {u"game /nofullscreen /width=200 /height=300 extra", 200, 300},
    };
    for (const Case& c : cases) {
        int w = 0, h = 0;
        host::CommandLine::parse(c.line).displaySize(240, 320, w, h);
        std::u16string shown = c.line ? c.line : u"(null)";
        EXPECT_EQ(w, c.width) << std::string(shown.begin(), shown.end());
        EXPECT_EQ(h, c.height) << std::string(shown.begin(), shown.end());
    }
}

TEST(CommandLine, TheCharacterAfterTheKeywordIsSkipped)
{
    // /width200 loses its first digit to the separator: the number read is 00.
    host::CommandLine c = host::CommandLine::parse(u"/nofullscreen /width200 /height2300");
    EXPECT_EQ(c.width, 0);
    EXPECT_EQ(c.height, 300);
}

TEST(CommandLine, ASwitchAsTheLastTokenReadsNoNumber)
{
    // The number used to be read from past the token's end when nothing followed the keyword.
    for (const char16_t* line : {u"/nofullscreen /width", u"/nofullscreen /height",
                                 u"/width=100 /nofullscreen /height", u"/width"}) {
        host::CommandLine c = host::CommandLine::parse(line);
        int w = 0, h = 0;
        c.displaySize(240, 320, w, h);
        EXPECT_EQ(w, 240);
        EXPECT_EQ(h, 320);
    }
    EXPECT_EQ(host::CommandLine::parse(u"/width").width, -1);
    EXPECT_EQ(host::CommandLine::parse(u"/height").height, -1);
    // Exactly one character after the keyword: an empty number.
    EXPECT_EQ(host::CommandLine::parse(u"/width=").width, 0);
    EXPECT_EQ(host::CommandLine::parse(u"/height=").height, 0);
    EXPECT_FALSE(host::CommandLine::parse(u"/nofullscreen").fullScreen);
}

} // namespace

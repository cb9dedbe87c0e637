#include "platform/FontEngine.h"

#include <gtest/gtest.h>

#include <set>
#include <utility>

using platform::FontEngine;
using platform::FontRequest;

namespace {

std::set<std::pair<int, int>> inkOf(platform::FontInstance& font, char32_t c)
{
    std::set<std::pair<int, int>> pixels;
    font.render(c, 0, 0, [&](int x, int y) { pixels.insert({x, y}); });
    return pixels;
}

std::unique_ptr<platform::FontInstance> sans(int height, bool bold = false, bool underline = false)
{
    FontRequest r;
    r.family = "sans-serif";
    r.height = height;
    r.bold = bold;
    r.underline = underline;
    return FontEngine::open(r);
}

} // namespace

TEST(FontEngine, MetricsFollowTheRequestedSize)
{
    auto small = sans(-12);
    auto large = sans(-17);
    ASSERT_TRUE(small && large);
    EXPECT_GT(small->ascent(), 0);
    EXPECT_GE(small->descent(), 0);
    EXPECT_EQ(small->ascent() + small->descent(), small->height());
    EXPECT_LT(small->height(), large->height());
    // A positive height is the cell: the line is exactly that high.
    for (int cellHeight : {13, 7, 30}) {
        auto cell = sans(cellHeight);
        ASSERT_TRUE(cell);
        EXPECT_EQ(cellHeight, cell->height());
        EXPECT_GT(cell->ascent(), cell->descent());
        EXPECT_GT(cell->descent(), 0);
    }
}

TEST(FontEngine, GlyphsAreUprightInsideTheirCell)
{
    auto font = sans(-14);
    ASSERT_TRUE(font);
    auto a = inkOf(*font, U'A');
    EXPECT_FALSE(a.empty());
    EXPECT_TRUE(inkOf(*font, U' ').empty());
    for (auto [x, y] : inkOf(*font, U'_'))
        EXPECT_GE(y, font->ascent() - 2) << "underscore sits at or below the baseline";
    for (auto [x, y] : inkOf(*font, U'^'))
        EXPECT_LT(y, font->height() / 2) << "caret sits in the upper half";
    for (auto [x, y] : a) {
        EXPECT_GE(x, 0);
        EXPECT_LT(x, font->advance(U'A') + 1);
        EXPECT_GE(y, 0);
        EXPECT_LT(y, font->height());
    }
}

TEST(FontEngine, BoldIsNotNarrowerAndUnderlineAddsInk)
{
    auto plain = sans(-14);
    auto bold = sans(-14, true);
    auto underlined = sans(-14, false, true);
    ASSERT_TRUE(plain && bold && underlined);
    EXPECT_GE(bold->advance(U'W'), plain->advance(U'W'));
    EXPECT_GT(inkOf(*underlined, U' ').size(), 0u);
}

TEST(FontEngine, MonospaceFacesHaveEqualAdvances)
{
    FontRequest r;
    r.family = "monospace";
    r.height = -14;
    auto mono = FontEngine::open(r);
    ASSERT_TRUE(mono);
    EXPECT_EQ(mono->advance(U'i'), mono->advance(U'W'));
}

// Making a font measures every code up to 255, and a run makes several fonts: a character the
// face lacks must cost one fontconfig search per run at most, and control characters none.
TEST(FontEngine, FallbackSearchesAreMadeOnceAndNeverForControlCharacters)
{
    auto first = sans(-12);
    ASSERT_TRUE(first);
    const long before = FontEngine::fallbackSearches();
    const int noGlyph = first->advance(0x01);
    for (char32_t c = 0x7F; c <= 0x9F; ++c) {
        EXPECT_EQ(first->advance(c), noGlyph) << "U+" << std::hex << unsigned(c);
        EXPECT_EQ(inkOf(*first, c), inkOf(*first, 0x01)) << "U+" << std::hex << unsigned(c);
    }
    EXPECT_EQ(FontEngine::fallbackSearches(), before);

    // A private-use code of the last plane: no face of the system has it.
    const char32_t missing = 0x10FFFD;
    const int width = first->advance(missing);
    const auto ink = inkOf(*first, missing);
    EXPECT_EQ(FontEngine::fallbackSearches(), before + 1);
    auto second = sans(-12);
    ASSERT_TRUE(second);
    EXPECT_EQ(second->advance(missing), width);
    EXPECT_EQ(inkOf(*second, missing), ink);
    EXPECT_EQ(FontEngine::fallbackSearches(), before + 1);
    // Another weight is another search.
    auto bold = sans(-12, true);
    ASSERT_TRUE(bold);
    bold->advance(missing);
    EXPECT_EQ(FontEngine::fallbackSearches(), before + 2);
}

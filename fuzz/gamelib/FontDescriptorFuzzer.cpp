// Any bytes as the descriptors of a bitmap font's pages (separated by "|||", up to three pages,
// each beside a strip image): loading never fails, and the loaded font measures, draws and
// wraps consistently: widths add up, every draw restores the caller's clip, and wrapped lines
// put back together give the text.
#include "ProgramFolder.h"

#include "gamelib/ImageFont.h"
#include "gamelib/ScreenCanvas.h"

#include "lang/DString.h"
#include "microedition/lcdui/DGraphics.h"

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

using namespace qev::lang;
using qev::microedition::lcdui::DGraphicsPtr;

namespace {

constexpr int kMaxPages = 3;
const std::string kFolder = "/graphics/fonts/fz";

void prepareOnce()
{
    static bool done = false;
    if (done)
        return;
    done = true;
    fuzzsupport::useScreen(240, 320);
    for (int n = 0; n < kMaxPages; ++n)
        fuzzsupport::writeFile(kFolder + "/font_" + std::to_string(n) + ".png",
                               fuzzsupport::png(40 + 8 * n, 10, 0x202020));
}

std::vector<std::string> pagesOf(const uint8_t* data, size_t size)
{
    const std::string all(reinterpret_cast<const char*>(data), size);
    std::vector<std::string> pages;
    size_t start = 0;
    while (pages.size() < kMaxPages) {
        const size_t end = all.find("|||", start);
        pages.push_back(all.substr(start, end == std::string::npos ? end : end - start));
        if (end == std::string::npos)
            break;
        start = end + 3;
    }
    return pages;
}

DStringPtr text(const std::u16string& s)
{
    return DStringPtr(new DString(s.data(), static_cast<int32_t>(s.size())));
}

bool isBreak(char16_t c)
{
    return c == u' ' || c == u'\n';
}

void checkWrap(const gamelib::ImageFont& font, const std::u16string& s, int32_t width)
{
    DStringArrayPtr lines = font.wrapText(text(s), width);
    size_t at = 0;
    for (int32_t i = 0; i < lines->length; ++i) {
        const DString& line = *(*lines)[i];
        const std::u16string piece(line.chars(), static_cast<size_t>(line.length()));
        if (s.compare(at, piece.size(), piece) != 0)
            std::abort();
        bool hasBreak = false;
        for (char16_t c : piece)
            hasBreak = hasBreak || isBreak(c);
        // A line wider than the width is one word standing alone.
        if (piece.find(u'\n') != std::u16string::npos ||
            (hasBreak && font.stringWidth(text(piece)) > width))
            std::abort();
        at += piece.size();
        if (i + 1 < lines->length) {
            if (at >= s.size() || !isBreak(s[at]))
                std::abort();
            ++at;
        }
    }
    if (at != s.size() && !(at + 1 == s.size() && isBreak(s[at])))
        std::abort();
}

void checkFont(gamelib::ImageFont& font, const std::u16string& s, const DGraphicsPtr& g)
{
    if (font.stringWidth(text(u"")) != 0)
        std::abort();
    int64_t sum = 0;
    for (char16_t c : s)
        sum += font.stringWidth(text(std::u16string(1, c)));
    if (sum != font.stringWidth(text(s)))
        std::abort();
    static const int32_t kAnchors[] = {0, 1, 8, 0x40, 2, 0x20, 1 | 2, 8 | 0x20};
    for (int32_t anchor : kAnchors) {
        font.drawString(g, text(s), 30, 20, anchor);
        if (g->getClipX() != 1 || g->getClipY() != 2 || g->getClipWidth() != 60 ||
            g->getClipHeight() != 30)
            std::abort();
    }
    checkWrap(font, s, 0);
    checkWrap(font, s, 17);
    checkWrap(font, s, 200);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    prepareOnce();
    const std::vector<std::string> pages = pagesOf(data, size);
    for (int n = 0; n < kMaxPages; ++n) {
        const std::string name = kFolder + "/font_" + std::to_string(n);
        if (n < static_cast<int>(pages.size()))
            fuzzsupport::writeFile(name, pages[static_cast<size_t>(n)]);
        else
            std::filesystem::remove(fuzzsupport::programFolder() + name);
    }
    // A text of ordinary letters, spaces and line feeds, and the input's first bytes. Without
    // zeros: upper-casing, as the C library's, ends at the first.
    std::u16string s = u"Ab c\nDE  f 09 \n";
    for (size_t i = 0; i < size && i < 24; ++i)
        s.push_back(data[i] ? data[i] : u'.');

    DGraphicsPtr g = qev::microedition::lcdui::DImage::createImage(80, 40)->getGraphics();
    g->setClip(1, 2, 60, 30);
    for (int caseKept = 0; caseKept < 2; ++caseKept) {
        gamelib::ImageFontPtr font(new gamelib::ImageFont);
        font->upperCase = caseKept ? 0 : 1;
        font->spacing = caseKept;
        try {
            font->load(text(std::u16string(kFolder.begin(), kFolder.end())));
        } catch (DExceptionBase* e) {
            fuzzsupport::expectOnly(e, {});
        }
        if (font->pageCount < 0 || font->pageCount > static_cast<int32_t>(pages.size()))
            std::abort();
        checkFont(*font, s, g);
    }
    return 0;
}

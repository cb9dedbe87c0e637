// The game menu's help page: the text read as UTF records, broken into lines that fit between the
// margins in the small font, "%k" lines standing for pictures, and a scrolled page with a scroll
// bar and two soft-key labels.
#include "gamelib/Animation.h"
#include "gamelib/GameLib.h"
#include "gamelib/GameMenu.h"
#include "gamelib/ImageFont.h"
#include "gamelib/ScreenCanvas.h"
#include "gamelib/TextTable.h"

#include "io/DDataInputStream.h"
#include "lang/DInteger.h"
#include "lang/DStringBuffer.h"
#include "microedition/lcdui/DGraphics.h"

#include <algorithm>

namespace gamelib {

using qev::io::DDataInputStream;
using qev::lang::DObjectArray;
using qev::lang::DObjectArrayPtr;
using qev::lang::DObjectPtr;
using qev::lang::DString;
using qev::lang::DStringBuffer;
using qev::lang::DStringPtr;
using qev::microedition::lcdui::DFont;
using qev::microedition::lcdui::DGraphics;

DObjectArrayPtr GameMenu::helpLines;
int32_t GameMenu::helpLineCount = 0;
int32_t GameMenu::helpLineHeight = 0;
int32_t GameMenu::helpTop = 0;
int32_t GameMenu::helpBottom = 0;
int32_t GameMenu::helpLineChars = 0;

namespace {

ImageFont& fontAt(int32_t index)
{
    return *(*imageFonts)[index];
}

// Every record of the resource, each followed by a line feed; a missing resource or a damaged
// record ends the text where it is.
DStringPtr readHelpText(const DStringPtr& resource)
{
    qev::lang::DPtr<DStringBuffer> text = new DStringBuffer();
    tolerant([&] {
        qev::lang::DPtr<DDataInputStream> in =
            new DDataInputStream(GameLib::getResourceAsStream(resource));
        for (;;) {
            DStringPtr line = in->readUTF();
            if (!line)
                break;
            text->append(line);
            text->append(u'\n');
        }
    });
    return text->toString();
}

// The picture that a "%k" line names, or null (an empty line) when k is no number or lies
// outside the pictures.
DObjectPtr pictureOf(const DStringPtr& entry, const DObjectArrayPtr& pictures)
{
    if (!pictures)
        return DObjectPtr();
    int32_t k = -1;
    if (!tolerant([&] { k = qev::lang::DInteger::parseInt(entry->substring(1)); }))
        return DObjectPtr();
    if (k < 0 || k >= pictures->length)
        return DObjectPtr();
    return (*pictures)[k];
}

// Breaks the text into the page's lines. Only a line longer than `chars` characters is measured:
// once it is wider than the page at a space or line feed, it breaks after the last space since
// the line start (the space is dropped), or, without one, after exactly `chars` characters.
class LineBreaker
{
  public:
    LineBreaker(DStringPtr text, DObjectArrayPtr pictures, int32_t chars, int32_t width)
        : m_text(std::move(text)), m_pictures(std::move(pictures)), m_chars(chars), m_width(width)
    {
    }

    int32_t run(DObjectArray& out)
    {
        m_out = &out;
        const int32_t length = m_text->length();
        for (int32_t j = 0; j < length && m_n < out.length; ++j) {
            const char16_t c = m_text->charAt(j);
            if (c == u'\n' && tooWide(j)) {
                lineBreak();
                if (m_start == j) {
                    // The break fell on this line feed: it ends the line just stored.
                    m_start = j + 1;
                } else {
                    // Scan on from the new line start itself: the loop's step would skip its
                    // first character.
                    j = m_start - 1;
                }
            } else if (c != u'\n') {
                if (c == u' ' && tooWide(j))
                    lineBreak();
            } else {
                // A line of the text of one character, such as a lone carriage return, is an
                // empty line. The last character of a paragraph that broke before it stays:
                // dropping it would lose a word.
                if (j == m_start + 1 && (m_start == 0 || m_text->charAt(m_start - 1) == u'\n'))
                    ++m_n;
                else
                    store(m_start, j);
                m_start = j + 1;
            }
            if (j < length && m_text->charAt(j) == u' ')
                m_space = j;
        }
        return std::min(m_n, out.length);
    }

  private:
    // The line from the start to j is longer than a line's characters and wider than the page.
    bool tooWide(int32_t j) const
    {
        return j - m_start > m_chars &&
               fontAt(FONT_SMALL).stringWidth(m_text->substring(m_start, j)) > m_width;
    }

    void lineBreak()
    {
        if (m_start >= m_space - 1) {
            // No space since the line start: cut the word.
            store(m_start, m_start + m_chars);
            m_start += m_chars;
        } else {
            store(m_start, m_space);
            m_start = m_space + 1;
        }
    }

    void store(int32_t from, int32_t to)
    {
        if (m_n >= m_out->length)
            return;
        DStringPtr entry = m_text->substring(from, to);
        if (entry->length() > 1 && entry->charAt(0) == u'%')
            (*m_out)[m_n] = pictureOf(entry, m_pictures);
        else
            (*m_out)[m_n] = entry;
        ++m_n;
    }

    DStringPtr m_text;
    DObjectArrayPtr m_pictures;
    int32_t m_chars;
    int32_t m_width;
    DObjectArray* m_out = nullptr;
    int32_t m_start = 0;
    int32_t m_space = 0;
    int32_t m_n = 0;
};

} // namespace

void GameMenu::releaseHelp()
{
    helpLines = nullptr;
    helpLineCount = 0;
}

void GameMenu::setHelpText(DStringPtr resource, DObjectArrayPtr pictures)
{
    DStringPtr text = readHelpText(resource);
    helpTop = fontAt(FONT_MENU_SELECTED).getHeight() + 12;
    helpBottom = screenHeight - fontAt(FONT_HUD0).getHeight();
    helpLineHeight = fontAt(FONT_SMALL).getHeight() + 3;
    const int32_t width = screenWidth - 2 * margin - 4;
    const int32_t charWidth = fontAt(FONT_SMALL).stringWidth(u"W");
    // A font without "W" would make every line zero characters long.
    helpLineChars = std::max(1, charWidth > 0 ? width / charWidth : width);
    visible = (helpBottom - helpTop) / helpLineHeight;
    first = 0;
    helpLines = new DObjectArray(kMaxHelpLines);
    helpLineCount = LineBreaker(text, pictures, helpLineChars, width).run(*helpLines);
}

void GameMenu::paintHelp()
{
    DGraphics& g = *screenGraphics;
    const int32_t w = screenWidth;
    const int32_t h = screenHeight;
    paintBackdrop(boxColour);
    fontAt(FONT_MENU_SELECTED)
        .drawStringOnScreen(getText(u"help"), w / 2, 3, DGraphics::HCENTER | DGraphics::TOP);
    g.setFont(DFont::getFont(DFont::FACE_PROPORTIONAL, DFont::STYLE_PLAIN, DFont::SIZE_SMALL));

    if (visible > 0 && helpLines) {
        int32_t y = helpTop;
        for (int32_t i = first; i < helpLineCount && y < helpBottom && i - first < visible; ++i) {
            lastShown = i;
            DObjectPtr entry = (*helpLines)[i];
            if (!entry) {
                y += helpLineHeight;
            } else if (DString* text = dynamic_cast<DString*>(entry.get())) {
                g.setColor(itemColour);
                fontAt(FONT_SMALL)
                    .drawStringOnScreen(DStringPtr(text), margin + 5, y,
                                        DGraphics::LEFT | DGraphics::TOP);
                y += helpLineHeight;
            } else if (Animation* picture = dynamic_cast<Animation*>(entry.get())) {
                picture->paint(2, y);
                GameImagePtr frame = (*picture->frames)[0];
                y += frame->h + 2;
            }
        }
    }

    // Scroll bar. When every line fits, the thumb fills the track.
    const int32_t x = w - 8;
    const int32_t track = helpBottom - helpTop;
    int32_t thumb = track;
    int32_t thumbY = helpTop;
    if (helpLineCount > visible && visible > 0) {
        thumb = static_cast<int32_t>(int64_t{visible} * track / helpLineCount);
        thumbY = helpTop +
                 static_cast<int32_t>(int64_t{track - thumb} * first / (helpLineCount - visible));
    }
    g.setColor(0xCCCCCC);
    g.fillRect(x, helpTop, 6, track);
    g.setColor(0x444444);
    g.drawRect(x, helpTop, 6, track);
    g.setColor(0xFFFFFF);
    g.fillRect(x, thumbY, 6, thumb);
    g.setColor(0x000000);
    g.drawRect(x, thumbY, 6, thumb + 1);

    fontAt(FONT_HUD0).drawStringOnScreen(getText(u"quit"), 0, h,
                                         DGraphics::LEFT | DGraphics::BOTTOM);
    fontAt(FONT_HUD0).drawStringOnScreen(getText(u"down"), w, h,
                                         DGraphics::RIGHT | DGraphics::BOTTOM);
}

void GameMenu::pageDown()
{
    if (first + visible < helpLineCount) {
        first = lastShown;
        if (first + visible > helpLineCount)
            first = helpLineCount - visible;
    }
}

bool GameMenu::tapHelp()
{
    const int32_t w = screenWidth;
    const int32_t h = screenHeight;
    const int32_t labelTop = h - fontAt(FONT_HUD0).getHeight();
    if (isPointerInside(0, labelTop, fontAt(FONT_HUD0).stringWidth(getText(u"quit")), h)) {
        closed = 1;
    } else if (isPointerInside(w - fontAt(FONT_HUD0).stringWidth(getText(u"down")), labelTop, w,
                               h)) {
        pageDown();
    } else if (isPointerInside(0, helpTop, w, helpBottom)) {
        if (pointerY <= h / 2)
            moveUp();
        else
            moveDown();
    } else {
        return false;
    }
    return true;
}

} // namespace gamelib

// Text rendering behind the GDI font calls: fontconfig picks a face for a requested family,
// weight and slant; FreeType renders it without anti-aliasing, so ink pixels are exactly the text
// colour. Metrics follow GDI's rules (height = ascent + descent, whole pixels).
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace platform {

struct FontRequest
{
    std::string family; // fontconfig family ("sans-serif", "monospace") or a face name
    int height = 0;     // < 0: character (em) size in pixels; > 0: cell height in pixels
    bool bold = false;
    bool italic = false;
    bool underline = false;
};

class FontInstance
{
  public:
    virtual ~FontInstance() = default;

    virtual int ascent() const = 0;
    virtual int descent() const = 0;
    int height() const { return ascent() + descent(); }
    // Hinted advance in whole pixels; 0 for a character no face can show.
    virtual int advance(char32_t c) = 0;
    // Calls ink(x, y) for every ink pixel of the character drawn with its cell's top-left corner
    // at (x, y) (baseline at y + ascent), underline included.
    virtual void render(char32_t c, int x, int y, const std::function<void(int, int)>& ink) = 0;
};

class FontEngine
{
  public:
    // Null when no face can be loaded at all.
    static std::unique_ptr<FontInstance> open(const FontRequest& request);
    // Forces one font file for every request (tests use it for deterministic glyphs); an empty
    // path returns to fontconfig's choice.
    static void forceFontFile(const std::string& path);
    // How many times this process asked fontconfig for a face that has a character the
    // requested face lacks (each a costly match); for tests and profiles.
    static long fallbackSearches();
};

} // namespace platform

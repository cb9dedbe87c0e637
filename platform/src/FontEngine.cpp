#include "platform/FontEngine.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <cmath>
#include <map>
#include <mutex>
#include <set>
#include <tuple>
#include <unordered_map>
#include <utility>

namespace platform {

namespace {

// A fallback search: the request's family, weight and slant, and the character.
using FallbackKey = std::tuple<std::string, bool, bool, char32_t>;

struct Library
{
    std::mutex lock;
    FT_Library ft = nullptr;
    bool fcReady = false;
    std::string forcedFile;
    // Searches that found no face with the character. Every font of the run asks again for
    // the same characters (each makes the codes up to 255 up front), and fontconfig's answer
    // does not change while the program runs.
    std::set<FallbackKey> noFallback;
    long fallbackSearches = 0;

    Library()
    {
        if (FT_Init_FreeType(&ft) != 0)
            ft = nullptr;
        fcReady = FcInit() != FcFalse;
    }
};

Library& library()
{
    static Library* lib = new Library; // FreeType faces may outlive static destruction order
    return *lib;
}

struct FaceFile
{
    std::string path;
    int index = 0;
};

// fontconfig's best match for the pattern; empty path when none.
FaceFile match(FcPattern* pattern)
{
    FaceFile result;
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult status;
    FcPattern* found = FcFontMatch(nullptr, pattern, &status);
    if (found) {
        FcChar8* file = nullptr;
        int index = 0;
        if (FcPatternGetString(found, FC_FILE, 0, &file) == FcResultMatch && file) {
            result.path = reinterpret_cast<const char*>(file);
            if (FcPatternGetInteger(found, FC_INDEX, 0, &index) == FcResultMatch)
                result.index = index;
        }
        FcPatternDestroy(found);
    }
    return result;
}

FcPattern* basePattern(const FontRequest& r)
{
    FcPattern* p = FcPatternCreate();
    FcPatternAddString(p, FC_FAMILY, reinterpret_cast<const FcChar8*>(r.family.c_str()));
    FcPatternAddInteger(p, FC_WEIGHT, r.bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
    FcPatternAddInteger(p, FC_SLANT, r.italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
    FcPatternAddBool(p, FC_SCALABLE, FcTrue);
    return p;
}

class FreeTypeFont : public FontInstance
{
  public:
    FreeTypeFont(FontRequest request, FT_Face face) : m_request(std::move(request)), m_face(face)
    {
        sizeFace(m_face);
        const FT_Size_Metrics& m = m_face->size->metrics;
        m_ascent = static_cast<int>((m.ascender + 63) >> 6);
        m_descent = static_cast<int>((-m.descender + 63) >> 6);
        const long designCell = static_cast<long>(m_face->ascender) - m_face->descender;
        if (m_request.height > 0 && designCell > 0) {
            // A requested cell height is the line height itself, as GDI gives it: rounding
            // ascent and descent up one by one could make the line a pixel taller. The cell is
            // split in the proportions of the face's own ascender and descender.
            m_ascent = static_cast<int>((2L * m_request.height * m_face->ascender + designCell) /
                                        (2 * designCell));
            m_ascent = std::clamp(m_ascent, 0, m_request.height);
            m_descent = m_request.height - m_ascent;
        }
        if (m_ascent + m_descent <= 0) {
            m_ascent = static_cast<int>(m.y_ppem);
            m_descent = 0;
        }
        if (FT_IS_SCALABLE(m_face)) {
            long scale = m.y_scale;
            m_underlinePos =
                static_cast<int>(std::lround(-FT_MulFix(m_face->underline_position, scale) / 64.0));
            m_underlineThickness =
                std::max(1, static_cast<int>(
                                std::lround(FT_MulFix(m_face->underline_thickness, scale) / 64.0)));
        }
    }

    ~FreeTypeFont() override
    {
        std::lock_guard<std::mutex> guard(library().lock);
        FT_Done_Face(m_face);
        for (auto& [key, face] : m_fallbacks) {
            if (face)
                FT_Done_Face(face);
        }
    }

    int ascent() const override { return m_ascent; }
    int descent() const override { return m_descent; }

    int advance(char32_t c) override
    {
        std::lock_guard<std::mutex> guard(library().lock);
        // Kept per character: a hinted glyph load runs the face's own program, and text
        // measures the same characters again and again.
        if (auto known = m_advances.find(c); known != m_advances.end())
            return known->second;
        FT_Face face = faceFor(c);
        int width = 0;
        if (face && FT_Load_Char(face, c, FT_LOAD_TARGET_MONO) == 0)
            width = static_cast<int>((face->glyph->advance.x + 32) >> 6);
        m_advances.emplace(c, width);
        return width;
    }

    void render(char32_t c, int x, int y, const std::function<void(int, int)>& ink) override
    {
        int advanceWidth = 0;
        {
            std::lock_guard<std::mutex> guard(library().lock);
            FT_Face face = faceFor(c);
            if (!face || FT_Load_Char(face, c, FT_LOAD_RENDER | FT_LOAD_TARGET_MONO) != 0)
                return;
            FT_GlyphSlot g = face->glyph;
            advanceWidth = static_cast<int>((g->advance.x + 32) >> 6);
            if (g->format == FT_GLYPH_FORMAT_BITMAP ||
                FT_Render_Glyph(g, FT_RENDER_MODE_MONO) == 0) {
                const FT_Bitmap& b = g->bitmap;
                int originX = x + g->bitmap_left;
                int originY = y + m_ascent - g->bitmap_top;
                for (unsigned row = 0; row < b.rows; ++row) {
                    const unsigned char* line = b.buffer + static_cast<long>(row) * b.pitch;
                    for (unsigned col = 0; col < b.width; ++col) {
                        bool set = b.pixel_mode == FT_PIXEL_MODE_MONO
                                       ? (line[col >> 3] & (0x80 >> (col & 7)))
                                       : line[col] >= 128;
                        if (set)
                            ink(originX + static_cast<int>(col), originY + static_cast<int>(row));
                    }
                }
            }
        }
        if (m_request.underline) {
            int top = y + m_ascent + m_underlinePos;
            for (int row = 0; row < m_underlineThickness; ++row) {
                for (int col = 0; col < advanceWidth; ++col)
                    ink(x + col, top + row);
            }
        }
    }

  private:
    void sizeFace(FT_Face face) const
    {
        if (m_request.height < 0) {
            FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(-m_request.height));
        } else {
            FT_Size_RequestRec req{};
            req.type = FT_SIZE_REQUEST_TYPE_CELL;
            req.height = static_cast<FT_Long>(m_request.height) << 6;
            FT_Request_Size(face, &req);
        }
    }

    // The main face when it has the character, else a fontconfig fallback for it. Both the
    // fallback faces and each character's choice are kept: a font measures and draws every
    // character more than once (the 256 made up front among them), and a fontconfig match
    // per call was most of the cost of making a font.
    FT_Face faceFor(char32_t c)
    {
        // Control characters have no glyph in any face: no search for them.
        if (isControl(c) || FT_Get_Char_Index(m_face, c) != 0)
            return m_face;
        Library& lib = library();
        if (!lib.fcReady || !lib.forcedFile.empty())
            return m_face;
        if (auto known = m_charFaces.find(c); known != m_charFaces.end())
            return known->second;
        FT_Face chosen = matchFallback(lib, c);
        m_charFaces.emplace(c, chosen);
        return chosen;
    }

    static bool isControl(char32_t c) { return c < 0x20 || (c >= 0x7F && c <= 0x9F); }

    FT_Face matchFallback(Library& lib, char32_t c)
    {
        FallbackKey key{m_request.family, m_request.bold, m_request.italic, c};
        if (lib.noFallback.count(key))
            return m_face;
        FT_Face found = searchFallback(lib, c);
        if (found == m_face)
            lib.noFallback.insert(std::move(key));
        return found;
    }

    FT_Face searchFallback(Library& lib, char32_t c)
    {
        ++lib.fallbackSearches;
        FcPattern* p = basePattern(m_request);
        FcCharSet* set = FcCharSetCreate();
        FcCharSetAddChar(set, c);
        FcPatternAddCharSet(p, FC_CHARSET, set);
        FaceFile file = match(p);
        FcCharSetDestroy(set);
        FcPatternDestroy(p);
        auto faceKey = std::make_pair(file.path, file.index);
        auto it = m_fallbacks.find(faceKey);
        if (it == m_fallbacks.end()) {
            FT_Face face = nullptr;
            if (file.path.empty() || FT_New_Face(lib.ft, file.path.c_str(), file.index, &face) != 0)
                face = nullptr;
            if (face)
                sizeFace(face);
            it = m_fallbacks.emplace(faceKey, face).first;
        }
        FT_Face fallback = it->second;
        return fallback && FT_Get_Char_Index(fallback, c) != 0 ? fallback : m_face;
    }

    FontRequest m_request;
    FT_Face m_face;
    std::map<std::pair<std::string, int>, FT_Face> m_fallbacks;
    std::unordered_map<char32_t, FT_Face> m_charFaces;
    std::unordered_map<char32_t, int> m_advances;
    int m_ascent = 0;
    int m_descent = 0;
    int m_underlinePos = 1;
    int m_underlineThickness = 1;
};

} // namespace

std::unique_ptr<FontInstance> FontEngine::open(const FontRequest& request)
{
    Library& lib = library();
    std::lock_guard<std::mutex> guard(lib.lock);
    if (!lib.ft)
        return nullptr;
    FaceFile file;
    if (!lib.forcedFile.empty()) {
        file.path = lib.forcedFile;
    } else if (lib.fcReady) {
        FcPattern* p = basePattern(request);
        file = match(p);
        FcPatternDestroy(p);
    }
    if (file.path.empty())
        return nullptr;
    FT_Face face = nullptr;
    if (FT_New_Face(lib.ft, file.path.c_str(), file.index, &face) != 0)
        return nullptr;
    return std::make_unique<FreeTypeFont>(request, face);
}

long FontEngine::fallbackSearches()
{
    std::lock_guard<std::mutex> guard(library().lock);
    return library().fallbackSearches;
}

void FontEngine::forceFontFile(const std::string& path)
{
    std::lock_guard<std::mutex> guard(library().lock);
    library().forcedFile = path;
}

} // namespace platform

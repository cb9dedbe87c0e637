#include "gamelib/MissingReport.h"

#include "gamelib/GameLib.h"

#include <cstdio>
#include <set>
#include <string>
#include <utility>

namespace gamelib {

namespace {

std::set<std::pair<Missing, std::u16string>>& reported()
{
    static std::set<std::pair<Missing, std::u16string>> names;
    return names;
}

std::set<std::u16string>& damaged()
{
    static std::set<std::u16string> names;
    return names;
}

std::u16string keyOf(const qev::lang::DStringPtr& name)
{
    return name ? std::u16string(name->chars(), static_cast<size_t>(name->length()))
                : std::u16string();
}

// Names and keys are plain text; anything outside ASCII is written as UTF-8 of its code unit.
std::string utf8(const qev::lang::DStringPtr& text)
{
    std::string out;
    if (!text)
        return "null";
    for (int32_t i = 0; i < text->length(); ++i) {
        const char16_t c = text->charAt(i);
        if (c < 0x80) {
            out.push_back(static_cast<char>(c));
        } else if (c < 0x800) {
            out.push_back(static_cast<char>(0xC0 | (c >> 6)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        } else {
            out.push_back(static_cast<char>(0xE0 | (c >> 12)));
            out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        }
    }
    return out;
}

const char* kindName(Missing kind)
{
    switch (kind) {
    case Missing::Resource:
        return "resource";
    case Missing::Image:
    case Missing::PlainImage:
        return "image";
    case Missing::AtlasPiece:
        return "atlas piece";
    case Missing::Text:
        return "text";
    }
    return "resource";
}

} // namespace

void reportMissing(Missing kind, const qev::lang::DStringPtr& name)
{
    if (!reported().emplace(kind, keyOf(name)).second)
        return;
    std::string where;
    if (kind == Missing::Image)
        where = " (graphics set " + utf8(graphicsSet) + ")";
    std::fprintf(stderr, "pallasterhorn: not found: %s %s%s\n", kindName(kind), utf8(name).c_str(),
                 where.c_str());
    std::fflush(stderr);
}

void reportDamaged(const qev::lang::DStringPtr& name, const std::string& what)
{
    if (!damaged().insert(keyOf(name)).second)
        return;
    std::fprintf(stderr, "pallasterhorn: damaged: %s: %s\n", utf8(name).c_str(), what.c_str());
    std::fflush(stderr);
}

void reportDamaged(const qev::lang::DStringPtr& name, const qev::lang::DStringPtr& what)
{
    reportDamaged(name, utf8(what));
}

void resetMissingReports()
{
    reported().clear();
    damaged().clear();
}

} // namespace gamelib

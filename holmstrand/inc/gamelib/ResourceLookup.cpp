// Where resources come from: archive entries named by screen size and graphics set, with the
// plain files of the program's folder as the last resort.
#include "gamelib/GameLib.h"
#include "gamelib/MissingReport.h"
#include "gamelib/ResourceNames.h"
#include "gamelib/ScreenCanvas.h"

#include "io/D7zipInputStream.h"
#include "io/DFileInputStream.h"

#include <string_view>
#include <utility>

namespace gamelib {

using qev::io::D7zipInputStream;
using qev::io::DFileInputStream;
using qev::io::DInputStreamPtr;
using qev::lang::DExceptionBase;
using qev::lang::DObjectPtr;
using qev::lang::DString;
using qev::lang::DStringArrayPtr;
using qev::lang::DStringPtr;
using qev::microedition::lcdui::DImage;
using qev::microedition::lcdui::DImagePtr;
using qev::util::DHashtable;

DStringPtr graphicsSet;
qev::util::DHashtablePtr folderAliases;

namespace {

// What a lookup met on its way: the first entry that the archive lists but that could not be
// read (damaged data, not missing data), and its error while the lookup holds it.
class Damage
{
  public:
    Damage() = default;
    Damage(const Damage&) = delete;
    Damage& operator=(const Damage&) = delete;
    ~Damage() { delete m_error; }

    // Takes `e` when it is the first failure of a listed entry, or the error of the entry named
    // already coming back from a nested lookup; otherwise the caller keeps it.
    bool keep(DExceptionBase* e, const DStringPtr& listed)
    {
        if (m_error)
            return false;
        if (!m_entry) {
            if (!listed)
                return false;
            m_entry = listed;
        }
        m_error = e;
        return true;
    }
    // Throws the held error, if any.
    void rethrow()
    {
        if (DExceptionBase* e = std::exchange(m_error, nullptr))
            throw e;
    }
    const DStringPtr& entry() const { return m_entry; }
    // What was wrong with the entry: its error's message without the entry's name at its end.
    DStringPtr cause(const DExceptionBase& e) const
    {
        std::u16string_view text = e.text();
        const std::u16string_view named(m_entry->chars(), static_cast<size_t>(m_entry->length()));
        if (text.size() > named.size() && text.substr(text.size() - named.size()) == named)
            text = text.substr(0, text.size() - named.size());
        while (!text.empty() && text.back() == u' ')
            text.remove_suffix(1);
        return DStringPtr(new DString(text.data(), static_cast<int32_t>(text.size())));
    }
    const DExceptionBase* held() const { return m_error; }

  private:
    DStringPtr m_entry;
    DExceptionBase* m_error = nullptr;
};

// The alias of the name's folder; null (read as "null", which names nothing and so falls
// through to the common set) for a folder without one.
DStringPtr aliasOf(const DStringPtr& name)
{
    if (!folderAliases)
        return DStringPtr();
    return qev::lang::dcast<DString>(folderAliases->get(DObjectPtr(folderOf(name))));
}

DStringArrayPtr oneName(const DStringPtr& name)
{
    DStringArrayPtr names = new qev::lang::DStringArray(1);
    names[0] = name;
    return names;
}

// The archive entry that reading `name` reads when the archive lists it: for an image first the
// name under the image prefix, which the image loader tries first. Null when none is listed.
DStringPtr listedEntry(const DStringPtr& name, bool image)
{
    if (!D7zipInputStream::isArchiveOpen())
        return DStringPtr();
    if (image) {
        DStringPtr prefixed = imagePathFor(screenHeight) + name;
        if (prefixed->length() > name->length() && D7zipInputStream::holds(prefixed))
            return prefixed;
    }
    return D7zipInputStream::holds(name) ? name : DStringPtr();
}

// The first of `names` that `open` gives. A listed entry that fails is kept in `damage`, and
// when no later name gives the resource its error goes on instead of the last name's; without
// such an entry the last name's error goes on.
template <class Result, class Open>
Result firstOf(const DStringArrayPtr& names, bool image, Damage& damage, Open open)
{
    for (int32_t i = 0; i < names->length; ++i) {
        try {
            if (Result result = open(names[i]))
                return result;
        } catch (DExceptionBase* e) {
            if (!e->isException())
                throw;
            if (damage.keep(e, listedEntry(names[i], image)))
                continue;
            if (i + 1 == names->length && !damage.held())
                throw;
            delete e;
        }
    }
    damage.rethrow();
    return Result();
}

// The archive entry, else the plain file; nothing is reported, since the graphics lookup and the
// alias files try names that may well be absent.
DInputStreamPtr openQuietly(const DStringPtr& name, Damage& damage)
{
    // Without an archive every entry name fails, each with an exception thrown and caught:
    // straight to the plain file.
    if (D7zipInputStream::isArchiveOpen()) {
        DStringArrayPtr names = archiveNamesOf(name, screenHeight);
        for (int32_t i = 0; i < names->length; ++i) {
            try {
                return D7zipInputStream::open(names[i]);
            } catch (DExceptionBase* e) {
                if (!e->isException())
                    throw;
                if (!damage.keep(e, listedEntry(names[i], false)))
                    delete e;
            }
        }
    }
    return firstOf<DInputStreamPtr>(oneName(name), false, damage,
                                    [](const DStringPtr& n) { return DFileInputStream::open(n); });
}

// Tries the graphics set, then the folder's alias, then the common set.
template <class Result, class Open>
Result openWithFallbacks(const DStringPtr& name, bool image, Damage& damage, Open open)
{
    return firstOf<Result>(graphicsNamesOf(name, graphicsSet, aliasOf(name)), image, damage, open);
}

// Runs a lookup and reports the name when the data has nothing under it, or the entry that was
// there but could not be read; the error goes on to the caller, which may well carry on without
// the resource. A damaged entry passed over for another name is reported too.
template <class Open> auto reportingFailure(Missing kind, const DStringPtr& name, Open open)
{
    Damage damage;
    try {
        auto result = open(damage);
        if (const DExceptionBase* e = damage.held())
            reportDamaged(damage.entry(), damage.cause(*e));
        return result;
    } catch (DExceptionBase* e) {
        if (e->isException()) {
            if (damage.entry())
                reportDamaged(damage.entry(), damage.cause(*e));
            else
                reportMissing(kind, name);
        }
        throw;
    }
}

} // namespace

DInputStreamPtr GameLib::getResourceAsStream(DStringPtr name)
{
    return reportingFailure(Missing::Resource, name,
                            [&name](Damage& damage) { return openQuietly(name, damage); });
}

DInputStreamPtr GameLib::probeResource(DStringPtr name)
{
    Damage damage;
    return openQuietly(name, damage);
}

DInputStreamPtr GameLib::openGraphicsStream(DStringPtr name)
{
    return reportingFailure(Missing::Resource, name, [&name](Damage& damage) {
        return openWithFallbacks<DInputStreamPtr>(
            name, false, damage, [&damage](const DStringPtr& n) { return openQuietly(n, damage); });
    });
}

DImagePtr GameLib::loadImage(DStringPtr name, int32_t transform)
{
    DImagePtr image = reportingFailure(Missing::Image, name, [&name, transform](Damage& damage) {
        return openWithFallbacks<DImagePtr>(name, true, damage, [transform](const DStringPtr& n) {
            return DImage::createImage(n, transform);
        });
    });
    if (!image)
        reportMissing(Missing::Image, name);
    return image;
}

void throwWithMessage(int32_t code, const DStringPtr& text)
{
    qev::lang::throwException(
        code, std::u16string_view(text->chars(), static_cast<size_t>(text->length())));
}

DImagePtr GameLib::createImage(DStringPtr name)
{
    return reportingFailure(Missing::PlainImage, name, [&name](Damage& damage) {
        return firstOf<DImagePtr>(oneName(name), true, damage, [](const DStringPtr& n) {
            return DImage::createImage(n, DImage::TRANS_NONE);
        });
    });
}

void GameLib::loadFolderAliases(DStringPtr set, DStringArrayPtr folders)
{
    folderAliases = new DHashtable(11, 75);
    for (int32_t i = 0; i < folders->length; ++i) {
        DStringPtr folder = folders[i];
        std::u16string text;
        // Most folders have no alias: a missing path file is no fault.
        tolerant([&] {
            Damage damage;
            DInputStreamPtr in = openQuietly(aliasFileOf(set, folder), damage);
            for (;;) {
                int32_t c = in->read();
                if (c < 0)
                    break;
                if (c == 13) {
                    in->read();
                    break;
                }
                text.push_back(static_cast<char16_t>(c));
            }
            in->close();
        });
        if (!text.empty())
            folderAliases->put(
                DObjectPtr(folder),
                DObjectPtr(new DString(text.data(), static_cast<int32_t>(text.size()))));
    }
}

} // namespace gamelib

// Where resources come from: archive entries named by screen size and graphics set, with the
// plain files of the program's folder as the last resort.
#include "gamelib/GameLib.h"
#include "gamelib/MissingReport.h"
#include "gamelib/ResourceNames.h"
#include "gamelib/ScreenCanvas.h"

#include "io/D7zipInputStream.h"
#include "io/DFileInputStream.h"

#include <string_view>

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

// The first of the entry's archive names that the archive holds.
DInputStreamPtr openArchiveEntry(const DStringPtr& name)
{
    DStringArrayPtr names = archiveNamesOf(name, screenHeight);
    for (int32_t i = 0; i + 1 < names->length; ++i)
        if (DInputStreamPtr in = tolerant([&] { return D7zipInputStream::open(names[i]); }))
            return in;
    return D7zipInputStream::open(names[names->length - 1]);
}

// The alias of the name's folder; null (read as "null", which names nothing and so falls
// through to the common set) for a folder without one.
DStringPtr aliasOf(const DStringPtr& name)
{
    if (!folderAliases)
        return DStringPtr();
    return qev::lang::dcast<DString>(folderAliases->get(DObjectPtr(folderOf(name))));
}

// Tries the graphics set, then the folder's alias, then the common set; `open` throws when a
// name cannot be had.
template <class Result, class Open> Result openWithFallbacks(const DStringPtr& name, Open open)
{
    DStringArrayPtr names = graphicsNamesOf(name, graphicsSet, aliasOf(name));
    for (int32_t i = 0; i + 1 < names->length; ++i)
        if (Result result = tolerant([&] { return open(names[i]); }))
            return result;
    return open(names[names->length - 1]);
}

// The archive entry, else the plain file; nothing is reported, since the graphics lookup and the
// alias files try names that may well be absent.
DInputStreamPtr openQuietly(const DStringPtr& name)
{
    // Without an archive every entry name fails, each with an exception thrown and caught:
    // straight to the plain file.
    if (D7zipInputStream::isArchiveOpen())
        if (DInputStreamPtr in = tolerant([&] { return openArchiveEntry(name); }))
            return in;
    return DFileInputStream::open(name);
}

// Runs a lookup and reports the name when the data has nothing under it; the error goes on to
// the caller, which may well carry on without the resource.
template <class Open> auto reportingFailure(Missing kind, const DStringPtr& name, Open open)
{
    try {
        return open();
    } catch (DExceptionBase* e) {
        if (e->isException())
            reportMissing(kind, name);
        throw;
    }
}

} // namespace

DInputStreamPtr GameLib::getResourceAsStream(DStringPtr name)
{
    return reportingFailure(Missing::Resource, name, [&name] { return openQuietly(name); });
}

DInputStreamPtr GameLib::probeResource(DStringPtr name)
{
    return openQuietly(name);
}

DInputStreamPtr GameLib::openGraphicsStream(DStringPtr name)
{
    return reportingFailure(Missing::Resource, name, [&name] {
        return openWithFallbacks<DInputStreamPtr>(
            name, [](const DStringPtr& n) { return openQuietly(n); });
    });
}

DImagePtr GameLib::loadImage(DStringPtr name, int32_t transform)
{
    DImagePtr image = reportingFailure(Missing::Image, name, [&name, transform] {
        return openWithFallbacks<DImagePtr>(
            name, [transform](const DStringPtr& n) { return DImage::createImage(n, transform); });
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
    return reportingFailure(Missing::PlainImage, name,
                            [&name] { return DImage::createImage(name, DImage::TRANS_NONE); });
}

void GameLib::loadFolderAliases(DStringPtr set, DStringArrayPtr folders)
{
    folderAliases = new DHashtable(11, 75);
    for (int32_t i = 0; i < folders->length; ++i) {
        DStringPtr folder = folders[i];
        std::u16string text;
        // Most folders have no alias: a missing path file is no fault.
        tolerant([&] {
            DInputStreamPtr in = openQuietly(aliasFileOf(set, folder));
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

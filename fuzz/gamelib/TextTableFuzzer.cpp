// Any bytes as a text file of either format, loaded into the global text table as the
// language texts are. 8-bit lines never fail and must give exactly the table that a plain
// reading of the bytes gives; UTF records may fail only with UTFDataFormatException.
// The first byte picks the format (bit 0: UTF records).
#include "ProgramFolder.h"

#include "gamelib/TextTable.h"

#include "lang/DString.h"

#include <cstdlib>
#include <map>
#include <string>

using namespace qev::lang;

namespace {

std::u16string wide(const DString& s)
{
    return std::u16string(s.chars(), static_cast<size_t>(s.length()));
}

// The table the 8-bit format describes: lines ended by CR with the next byte skipped, an empty
// line or the end ends the file, the first "=" splits, the last key wins.
std::map<std::u16string, std::u16string> expectedLines(const uint8_t* data, size_t size)
{
    std::map<std::u16string, std::u16string> table;
    size_t i = 0;
    while (i < size) {
        std::u16string line;
        while (i < size && data[i] != '\r')
            line.push_back(data[i++]);
        if (i < size)
            i += 2; // the CR and the byte after it
        if (line.empty())
            break;
        const size_t eq = line.find(u'=');
        if (eq != std::u16string::npos)
            table[line.substr(0, eq)] = line.substr(eq + 1);
    }
    return table;
}

void checkAgainst(const std::map<std::u16string, std::u16string>& expected)
{
    if (gamelib::textTable->size() != static_cast<int32_t>(expected.size()))
        std::abort();
    for (const auto& [key, value] : expected) {
        DStringPtr got =
            gamelib::getText(DStringPtr(new DString(key.data(), static_cast<int32_t>(key.size()))));
        if (wide(*got) != value)
            std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    const bool utf = data[0] & 1;
    fuzzsupport::writeFile("/txt/fuzz.txt", data + 1, size - 1);
    try {
        gamelib::loadTextFile(u"/txt/fuzz", utf);
    } catch (DExceptionBase* e) {
        if (!utf)
            fuzzsupport::expectOnly(e, {});
        fuzzsupport::expectOnly(e, {ExceptionCode::UTFDataFormatException});
        return 0;
    }
    if (gamelib::textTableUtf != (utf ? 1 : 0))
        std::abort();
    if (!utf) {
        // Framework strings compare to their first zero, so keys holding one may stand for
        // each other in the table: the plain reading describes only tables without them.
        const auto expected = expectedLines(data + 1, size - 1);
        bool zeros = false;
        for (const auto& entry : expected)
            zeros = zeros || entry.first.find(u'\0') != std::u16string::npos;
        if (!zeros)
            checkAgainst(expected);
        return 0;
    }
    // Records: every key read back gives a value, and no key holds "=".
    qev::util::DEnumerationPtr keys = gamelib::textTable->keys();
    while (keys->hasMoreElements()) {
        DStringPtr key = dcast<DString>(keys->nextElement());
        if (key->indexOf(u'=') >= 0 || !gamelib::getText(key))
            std::abort();
    }
    return 0;
}

// Any bytes as record 1 of a game's highscore store (prefix + "hs1"), read back by a game menu.
// Loading raises nothing and gives a table of the record's entry count (eight default entries
// for a count of 0 or an empty record) with a name for every entry; entries whose name is plain
// ASCII are checked against the bytes, and entries behind the end of the record keep the
// default name and score 0. A new best score goes to the top; the table saved and loaded again
// is the same table.
#include "ProgramFolder.h"
#include "RecordSupport.h"

#include "gamelib/GameMenu.h"
#include "gamelib/TextTable.h"

#include "lang/DString.h"
#include "lang/DStringArray.h"
#include "lang/DintArray.h"
#include "util/DHashtable.h"

#include <climits>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

using namespace qev::lang;

namespace {

using Table = std::vector<std::pair<std::u16string, int32_t>>;

std::u16string wide(const DStringPtr& s)
{
    return s ? std::u16string(s->chars(), static_cast<size_t>(s->length())) : u"(null)";
}

Table tableOf(const gamelib::GameMenu& menu)
{
    Table out;
    if (!menu.lines || !menu.scores || menu.lines->length != menu.scores->length)
        std::abort();
    for (int32_t i = 0; i < menu.lines->length; ++i) {
        if (!(*menu.lines)[i])
            std::abort(); // every entry has a name to show
        out.emplace_back(wide((*menu.lines)[i]), (*menu.scores)[i]);
    }
    return out;
}

// The table the bytes give, as far as it can be told without decoding modified UTF-8: the
// number of entries, and the entries up to the first name that is not plain ASCII.
struct Expected
{
    size_t entries = 0;
    size_t known = 0;
    Table table;
};

Expected expectedOf(const uint8_t* data, size_t size)
{
    const std::u16string none = u"empty ";
    Expected e;
    e.entries = size == 0 || data[0] == 0 ? gamelib::GameMenu::kDefaultHighscores : data[0];
    e.table.assign(e.entries, {none, 0});
    if (size == 0 || data[0] == 0) {
        e.known = e.entries;
        return e;
    }
    size_t at = 1;
    for (size_t i = 0; i < e.entries; ++i) {
        if (at + 2 > size) {
            e.known = e.entries; // the rest keep their defaults
            return e;
        }
        const size_t length = size_t{data[at]} << 8 | data[at + 1];
        if (at + 2 + length + 4 > size) {
            // A short name or score: this entry and the rest keep their defaults.
            e.known = e.entries;
            return e;
        }
        std::u16string name;
        for (size_t j = at + 2; j < at + 2 + length; ++j) {
            if (data[j] == 0 || data[j] > 0x7F) {
                e.known = i;
                return e;
            }
            name.push_back(data[j]);
        }
        e.table[i] = {
            name, static_cast<int32_t>(fuzzsupport::readBigEndian32(data, size, at + 2 + length))};
        at += 2 + length + 4;
    }
    e.known = e.entries;
    return e;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size > 8192)
        return 0;
    static const bool once = [] {
        fuzzsupport::programFolder();
        // The default entries' name, as the game's texts give it: without a text table every
        // one of up to 255 entries would be looked up and reported missing again.
        gamelib::textTable = new qev::util::DHashtable(11, 75);
        gamelib::textTable->put(DStringPtr(u"empty"), DStringPtr(u"empty"));
        return true;
    }();
    (void)once;
    fuzzsupport::freshRecordStore();
    fuzzsupport::putRecords(u"fzhs1", {std::string(reinterpret_cast<const char*>(data), size)});

    gamelib::GameMenuPtr menu = new gamelib::GameMenu();
    try {
        menu->loadHighscores(1, u"fz");
    } catch (DExceptionBase* e) {
        fuzzsupport::expectOnly(e, {});
        std::abort(); // nothing may leave the reader
    }
    const Table loaded = tableOf(*menu);
    const Expected expected = expectedOf(data, size);
    if (loaded.size() != expected.entries)
        std::abort();
    for (size_t i = 0; i < expected.known; ++i)
        if (loaded[i] != expected.table[i])
            std::abort();

    // Saved and read back, the table is the same.
    menu->saveHighscores(1, u"fz");
    gamelib::GameMenuPtr again = new gamelib::GameMenu();
    again->loadHighscores(1, u"fz");
    if (tableOf(*again) != loaded)
        std::abort();

    // A score above every other one takes the top and pushes the last entry out.
    int32_t best = INT_MIN;
    for (const auto& entry : loaded)
        best = std::max(best, entry.second);
    if (best < INT_MAX) {
        if (!menu->isHighscore(best + 1))
            std::abort();
        menu->insertHighscore(u"NEW", best + 1);
        const Table after = tableOf(*menu);
        if (after.size() != loaded.size() ||
            after[0] != std::make_pair(std::u16string(u"NEW"), best + 1))
            std::abort();
        for (size_t i = 1; i < after.size(); ++i)
            if (after[i] != loaded[i - 1])
                std::abort();
    }
    return 0;
}

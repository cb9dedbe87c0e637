// Any bytes as the key records of a game's store "keys_" + game, read back by its key dialog.
// The first byte picks the game (its configurable actions); the rest are records, each a length
// byte (low five bits) and that many bytes. Loading either takes every configurable action's
// two keys from its record (big-endian ints) or, when a record is missing or short, gives the
// canvas's default keys for all of them; nothing is raised. The table applied to the canvas
// maps every key to its action and presses set and clear the action's flag; saved and loaded
// again it is the same table.
#include "CanvasSupport.h"
#include "ProgramFolder.h"
#include "RecordSupport.h"

#include "gamelib/CustomControls.h"
#include "gamelib/ScreenCanvas.h"

#include "lang/DintArray.h"

#include <cstdlib>
#include <string>
#include <vector>

using namespace qev::lang;

namespace {

struct Game
{
    const char16_t* name;
    int32_t mask;
};
// The three games' configurable actions.
constexpr Game kGames[3] = {{u"tesk", 28}, {u"mirf", 29}, {u"corv", 28}};

std::vector<std::vector<int32_t>> tableOf(const DObjectArrayPtr& keys)
{
    std::vector<std::vector<int32_t>> out;
    for (int32_t i = 0; i < keys->length; ++i) {
        std::vector<int32_t> cells;
        if (DintArrayPtr a = dcast<DintArray>((*keys)[i]))
            for (int32_t c = 0; c < a->length; ++c)
                cells.push_back((*a)[c]);
        out.push_back(cells);
    }
    return out;
}

uint8_t* flagOf(int32_t action)
{
    switch (action) {
    case 0:
        return &gamelib::keyUp;
    case 1:
        return &gamelib::keyDown;
    case 2:
        return &gamelib::keyLeft;
    case 3:
        return &gamelib::keyRight;
    case 4:
        return &gamelib::keyFire;
    default:
        return nullptr;
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0 || size > 4096)
        return 0;
    fuzzsupport::useCanvas(240, 320);
    fuzzsupport::freshRecordStore();
    const Game& game = kGames[data[0] % 3];
    std::vector<std::string> records;
    for (size_t i = 1; i < size && records.size() < 20;) {
        const size_t n = data[i] & 0x1F;
        const size_t from = i + 1;
        const size_t to = std::min(size, from + n);
        records.emplace_back(reinterpret_cast<const char*>(data + from), to - from);
        i = to;
    }
    const std::u16string store = std::u16string(u"keys_") + game.name;
    if (!records.empty())
        fuzzsupport::putRecords(store, records);

    gamelib::CustomControlsPtr dialog = new gamelib::CustomControls(game.mask);
    DObjectArrayPtr keys;
    try {
        dialog->init(DStringPtr(game.name));
        keys = dialog->loadKeys();
    } catch (DExceptionBase* e) {
        fuzzsupport::expectOnly(e, {});
        return 0;
    }
    if (keys != dialog->keys || keys->length != gamelib::CustomControls::kActions)
        std::abort();

    // What the records say, or the defaults for all when one is missing or short.
    bool fromRecords = !records.empty();
    size_t k = 0;
    for (int32_t i = 0; i < gamelib::CustomControls::kActions; ++i)
        if (game.mask & 1 << i)
            fromRecords = fromRecords && k < records.size() && records[k++].size() >= 8;
    k = 0;
    for (int32_t i = 0; i < gamelib::CustomControls::kActions; ++i) {
        DintArrayPtr cells = dcast<DintArray>((*keys)[i]);
        if (!(game.mask & 1 << i)) {
            if (cells)
                std::abort();
            continue;
        }
        if (!cells || cells->length != 2)
            std::abort();
        const std::string& r = fromRecords ? records[k++] : std::string();
        DintArrayPtr defaults = gamelib::screenCanvas->getKeys(i, 2);
        for (int32_t c = 0; c < 2; ++c) {
            const int32_t want =
                fromRecords ? static_cast<int32_t>(fuzzsupport::readBigEndian32(
                                  reinterpret_cast<const uint8_t*>(r.data()), r.size(), 4 * c))
                            : (*defaults)[c];
            if ((*cells)[c] != want)
                std::abort();
        }
    }

    // Applied to the canvas: each key belongs to the last action that lists it.
    gamelib::ScreenCanvas& canvas = *gamelib::screenCanvas;
    canvas.setKeyMapping(canvas.getKeySet(), keys);
    for (int32_t i = 0; i < gamelib::CustomControls::kActions; ++i) {
        DintArrayPtr cells = dcast<DintArray>((*keys)[i]);
        for (int32_t c = 0; cells && c < cells->length; ++c) {
            const int32_t code = (*cells)[c];
            int32_t owner = -1;
            for (int32_t j = 0; j < gamelib::CustomControls::kActions; ++j)
                if (DintArrayPtr other = dcast<DintArray>((*keys)[j]))
                    for (int32_t d = 0; d < other->length; ++d)
                        if ((*other)[d] == code)
                            owner = j;
            if (canvas.getGameAction(code) != owner)
                std::abort();
            uint8_t* flag = flagOf(owner);
            canvas.applyKey(code, true);
            if (flag && *flag != 1)
                std::abort();
            canvas.applyKey(code, false);
            if (flag && *flag != 0)
                std::abort();
        }
    }
    gamelib::ScreenCanvas::clearKeys();

    // Saved and read back, the table stays as it is.
    const auto before = tableOf(keys);
    try {
        dialog->saveKeys();
        if (tableOf(dialog->loadKeys()) != before)
            std::abort();
    } catch (DExceptionBase* e) {
        fuzzsupport::expectOnly(e, {});
    }
    // The canvas keeps no key set of this input for the next.
    canvas.setKeyMapping(canvas.getKeySet(), DObjectArrayPtr());
    return 0;
}

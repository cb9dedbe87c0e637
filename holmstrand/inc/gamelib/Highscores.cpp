// Highscore tables of the game menus: record 1 of the store prefix + "hs" + n holds a count byte,
// then per entry the name (writeUTF) and the score (big-endian int).
#include "gamelib/GameMenu.h"
#include "gamelib/RecordStoreUse.h"
#include "gamelib/TextTable.h"

#include "io/DByteArrayOutputStream.h"
#include "io/DDataOutputStream.h"

#include <algorithm>

namespace gamelib {

using qev::io::DByteArrayOutputStream;
using qev::io::DDataInputStream;
using qev::io::DDataOutputStream;
using qev::lang::DintArray;
using qev::lang::DintArrayPtr;
using qev::lang::DStringArray;
using qev::lang::DStringArrayPtr;
using qev::lang::DStringPtr;
using qev::microedition::rms::DRecordStore;

namespace {

DStringPtr storeName(int32_t n, const DStringPtr& prefix)
{
    return prefix + u"hs" + n;
}

DStringPtr defaultName()
{
    return getText(u"empty") + u" ";
}

} // namespace

void GameMenu::setHighscores(DStringArrayPtr names, DintArrayPtr scoreList)
{
    lines = names;
    scores = scoreList;
}

void GameMenu::insertHighscore(DStringPtr name, int32_t score)
{
    if (!lines || !scores)
        return;
    const int32_t n = std::min(lines->length, scores->length);
    for (int32_t i = 0; i < n; ++i) {
        if ((*scores)[i] < score) {
            for (int32_t k = n - 1; k > i; --k) {
                (*lines)[k] = (*lines)[k - 1];
                (*scores)[k] = (*scores)[k - 1];
            }
            (*lines)[i] = name;
            (*scores)[i] = score;
            return;
        }
    }
}

bool GameMenu::isHighscore(int32_t score) const
{
    if (!scores)
        return false;
    for (int32_t i = scores->length - 1; i >= 0; --i)
        if ((*scores)[i] < score)
            return true;
    return false;
}

void GameMenu::defaultHighscores()
{
    DStringArrayPtr names = new DStringArray(kDefaultHighscores);
    DintArrayPtr zeros = new DintArray(kDefaultHighscores);
    const DStringPtr none = defaultName();
    for (int32_t i = 0; i < kDefaultHighscores; ++i)
        (*names)[i] = none;
    setHighscores(names, zeros);
}

void GameMenu::saveHighscores(int32_t n, DStringPtr prefix)
{
    useRecordStore(storeName(n, prefix), [this](DRecordStore& store) {
        qev::lang::DPtr<DByteArrayOutputStream> bytes = new DByteArrayOutputStream();
        qev::lang::DPtr<DDataOutputStream> out = new DDataOutputStream(bytes);
        const int32_t entries = lines ? lines->length : 0;
        out->write(entries & 0xFF);
        for (int32_t i = 0; i < entries; ++i) {
            out->writeUTF((*lines)[i]);
            out->writeInt(scores && i < scores->length ? (*scores)[i] : 0);
        }
        writeRecord(store, 1, bytes->toByteArray());
        out->close();
    });
}

void GameMenu::takeOverHighscores(int32_t n, int32_t from, DStringPtr prefix)
{
    if (recordStoreExists(storeName(n, prefix)) || !recordStoreExists(storeName(from, prefix)))
        return;
    qev::lang::DbyteArrayPtr table;
    useRecordStore(storeName(from, prefix), [&table](DRecordStore& store) {
        if (store.getNumRecords() > 0)
            table = store.getRecord(1);
    });
    if (table)
        useRecordStore(storeName(n, prefix),
                       [&table](DRecordStore& store) { writeRecord(store, 1, table); });
}

void GameMenu::loadHighscores(int32_t n, DStringPtr prefix)
{
    bool writeDefault = false;
    useRecordStore(storeName(n, prefix), [this, &writeDefault](DRecordStore& store) {
        if (store.getNumRecords() > 0) {
            qev::lang::DPtr<DDataInputStream> in = readRecord(store, 1);
            const int32_t entries = in->read();
            if (entries <= 0) {
                // A table of no entries could never take a score.
                defaultHighscores();
            } else {
                // Every entry starts as a default one, so that a damaged record leaves no
                // empty name behind the entries read.
                DStringArrayPtr names = new DStringArray(entries);
                DintArrayPtr values = new DintArray(entries);
                // One name for them all (strings do not change): up to 255 entries.
                const DStringPtr none = defaultName();
                for (int32_t i = 0; i < entries; ++i)
                    (*names)[i] = none;
                setHighscores(names, values);
                for (int32_t i = 0; i < entries; ++i) {
                    DStringPtr name = in->readUTF();
                    const int32_t score = in->readInt();
                    (*names)[i] = name;
                    (*values)[i] = score;
                }
            }
        } else {
            defaultHighscores();
            writeDefault = true;
        }
    });
    if (writeDefault)
        saveHighscores(n, prefix);
}

} // namespace gamelib

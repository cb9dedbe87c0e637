// Highscore tables: the store "<game>hs1" and its bytes, the default table, ordered insertion,
// damaged records, the table on screen and the name-entry flow of a game's end.
#include "MenuOwnerFixture.h"

#include "gamelib/GameStatics.h"
#include "gamelib/RecordStoreUse.h"
#include "gamelib/ScreenCanvas.h"
#include "gamelib/VirtualKeyboard.h"

#include "microedition/lcdui/DeviceKeys.h"
#include "microedition/rms/DRecordStore.h"

using qev::microedition::lcdui::kKeySoftLeft;

using gamelib::GameMenu;
using gamelibtest::ascii;
using gamelibtest::str;
using qev::microedition::rms::DRecordStore;
using namespace menutest;

namespace {

class HighscoresTest : public MenuOwnerTest
{
  protected:
    void SetUp() override { startOwner(); }

    // Record 1 of the store, or "<none>".
    static std::string storedRecord(const char16_t* store)
    {
        qev::microedition::rms::DRecordStorePtr s = DRecordStore::openRecordStore(store, true);
        std::string out = "<none>";
        if (s->getNumRecords() > 0) {
            qev::lang::DbyteArrayPtr r = s->getRecord(1);
            out.assign(reinterpret_cast<const char*>(r->getData()), static_cast<size_t>(r->length));
        }
        s->closeRecordStore();
        return out;
    }
    static void storeRecord(const char16_t* store, const std::string& bytes)
    {
        qev::microedition::rms::DRecordStorePtr s = DRecordStore::openRecordStore(store, true);
        qev::lang::DbyteArrayPtr r = new qev::lang::DbyteArray(static_cast<int32_t>(bytes.size()));
        for (size_t i = 0; i < bytes.size(); ++i)
            (*r)[static_cast<int32_t>(i)] = static_cast<int8_t>(bytes[i]);
        s->addRecord(r, 0, r->length);
        s->closeRecordStore();
    }
    static std::string be32(int32_t v)
    {
        const uint32_t u = static_cast<uint32_t>(v);
        return {static_cast<char>(u >> 24), static_cast<char>(u >> 16), static_cast<char>(u >> 8),
                static_cast<char>(u)};
    }
    // A table of the given scores, named "p0", "p1", ...
    void table(const std::vector<int32_t>& values)
    {
        const int32_t n = static_cast<int32_t>(values.size());
        qev::lang::DStringArrayPtr names = new qev::lang::DStringArray(n);
        qev::lang::DintArrayPtr scores = new qev::lang::DintArray(n);
        for (int32_t i = 0; i < n; ++i) {
            (*names)[i] = str("p" + std::to_string(i));
            (*scores)[i] = values[static_cast<size_t>(i)];
        }
        menu->setHighscores(names, scores);
    }
    std::vector<std::string> names() const
    {
        std::vector<std::string> out;
        for (int32_t i = 0; i < menu->lines->length; ++i)
            out.push_back(ascii((*menu->lines)[i]));
        return out;
    }
    std::vector<int32_t> scores() const
    {
        return std::vector<int32_t>(menu->scores->getData(),
                                    menu->scores->getData() + menu->scores->length);
    }
};

TEST_F(HighscoresTest, TheFirstLoadWritesTheDefaultTable)
{
    EXPECT_FALSE(menu->isHighscore(5)) << "no table yet";
    menu->loadHighscores(1, u"testgame");
    EXPECT_EQ(std::vector<std::string>(8, "nobody "), names());
    EXPECT_EQ(std::vector<int32_t>(8, 0), scores());
    std::string expected(1, '\x08');
    for (int i = 0; i < 8; ++i)
        expected += std::string("\x00\x07", 2) + "nobody " + be32(0);
    EXPECT_EQ(expected, storedRecord(u"testgamehs1"));
    EXPECT_FALSE(menu->isHighscore(0)) << "0 never enters the default table";
    EXPECT_TRUE(menu->isHighscore(1));
}

TEST_F(HighscoresTest, AScoreGoesBelowAnEqualOneAndTheLastDropsOut)
{
    table({900, 500, 100, 0});
    menu->insertHighscore(u"new", 500);
    EXPECT_EQ((std::vector<std::string>{"p0", "p1", "new", "p2"}), names());
    EXPECT_EQ((std::vector<int32_t>{900, 500, 500, 100}), scores());
    menu->insertHighscore(u"low", 100);
    EXPECT_EQ((std::vector<int32_t>{900, 500, 500, 100}), scores()) << "no greater than any";
    menu->insertHighscore(u"top", 1000);
    EXPECT_EQ((std::vector<std::string>{"top", "p0", "p1", "new"}), names());
    EXPECT_FALSE(menu->isHighscore(500));
    EXPECT_TRUE(menu->isHighscore(501));
}

TEST_F(HighscoresTest, ATableUnderAnEarlierNumberMovesOnlyIntoAStoreNotMadeYet)
{
    table({900, 40});
    menu->saveHighscores(8, u"testgame");
    const std::string earlier = storedRecord(u"testgamehs8");
    // Nothing to take from a store that does not exist, and nothing is made.
    GameMenu::takeOverHighscores(1, 3, u"testgame");
    EXPECT_FALSE(gamelib::recordStoreExists(u"testgamehs3"));
    EXPECT_FALSE(gamelib::recordStoreExists(u"testgamehs1"));

    GameMenu::takeOverHighscores(1, 8, u"testgame");
    EXPECT_EQ(earlier, storedRecord(u"testgamehs1"));
    EXPECT_EQ(earlier, storedRecord(u"testgamehs8")) << "the earlier store stays";
    menu->loadHighscores(1, u"testgame");
    EXPECT_EQ((std::vector<int32_t>{900, 40}), scores());

    // Once table 1 exists it is never replaced by the earlier one.
    table({5});
    menu->saveHighscores(1, u"testgame");
    GameMenu::takeOverHighscores(1, 8, u"testgame");
    menu->loadHighscores(1, u"testgame");
    EXPECT_EQ((std::vector<int32_t>{5}), scores());
}

TEST_F(HighscoresTest, ASavedTableComesBackAfterTheApplicationIsMadeAgain)
{
    table({70000, 1200, -5});
    (*menu->lines)[1] =
        qev::lang::DStringPtr(u"\u00e4\u00df"); // two-byte characters in modified UTF-8
    menu->saveHighscores(1, u"testgame");
    EXPECT_EQ(std::string("\x03\x00\x02p0", 5) + be32(70000) + std::string("\x00\x04", 2) +
                  "\xc3\xa4\xc3\x9f" + be32(1200) + std::string("\x00\x02p2", 4) + be32(-5),
              storedRecord(u"testgamehs1"));
    table({1, 2});
    menu->saveHighscores(1, u"testgame");
    table({7});

    // A new run: the application and its shared data are made again.
    lib->destroyApp(true);
    owner = nullptr;
    menu = nullptr;
    gamelib::currentScreen = nullptr;
    lib = qev::lang::dcast<gamelib::GameLib>(
        qev::lang::DPtr<qev::microedition::midlet::DMIDlet>(createMIDlet()));
    gamelib::GameMenuPtr again = new GameMenu();
    again->loadHighscores(1, u"testgame");
    ASSERT_EQ(2, again->lines->length) << "the second save replaced record 1";
    EXPECT_EQ("p0", ascii((*again->lines)[0]));
    EXPECT_EQ(2, (*again->scores)[1]);
    qev::microedition::rms::DRecordStorePtr s =
        DRecordStore::openRecordStore(u"testgamehs1", false);
    EXPECT_EQ(1, s->getNumRecords());
    s->closeRecordStore();
}

TEST_F(HighscoresTest, ADamagedRecordKeepsTheEntriesReadAndShowsDefaultsAfterThem)
{
    // Five entries announced, two and a half present.
    const std::string damaged = std::string(1, '\x05') +
                                std::string("\x00\x03"
                                            "ann",
                                            5) +
                                be32(300) +
                                std::string("\x00\x03"
                                            "bob",
                                            5) +
                                be32(200) +
                                std::string("\x00\x03"
                                            "c",
                                            3);
    storeRecord(u"testgamehs1", damaged);
    menu->loadHighscores(1, u"testgame");
    EXPECT_EQ((std::vector<std::string>{"ann", "bob", "nobody ", "nobody ", "nobody "}), names());
    EXPECT_EQ((std::vector<int32_t>{300, 200, 0, 0, 0}), scores());
    EXPECT_EQ(damaged, storedRecord(u"testgamehs1")) << "nothing is written back on loading";
    EXPECT_TRUE(menu->isHighscore(1));

    // The table view paints the defaults after the entries read.
    menu->state = GameMenu::STATE_HIGHSCORES;
    steps(2);
    EXPECT_TRUE(pixelIs(41, 31 + 4 * 18 + 2, kMenuColour)) << "the fifth name";
    EXPECT_TRUE(pixelIs(198, 31 + 4 * 18 + 2, kMenuColour)) << "its score, right-aligned";
}

TEST_F(HighscoresTest, ACountOfZeroGivesTheDefaultTableWithoutRewritingTheStore)
{
    storeRecord(u"testgamehs1", std::string(1, '\0'));
    menu->loadHighscores(1, u"testgame");
    EXPECT_EQ(8, menu->lines->length);
    EXPECT_TRUE(menu->isHighscore(1)) << "the table can take a score";
    EXPECT_EQ(std::string(1, '\0'), storedRecord(u"testgamehs1"));
    menu->saveHighscores(1, u"testgame");
    EXPECT_EQ(1 + 8 * (2 + 7 + 4), static_cast<int>(storedRecord(u"testgamehs1").size()));
}

TEST_F(HighscoresTest, TheTableShowsNamesLeftAndScoresRight)
{
    table({1234, 5});
    menu->state = GameMenu::STATE_HIGHSCORES;
    step();
    // "P0" at margin + 10 = 40; "1234" ends at 240 - 30 - 10 = 200.
    EXPECT_TRUE(pixelIs(41, 33, kMenuColour));
    EXPECT_TRUE(pixelIs(51, 33, kMenuColour));
    EXPECT_TRUE(pixelIs(53, 33, 0xFFFFFF)) << "two glyphs only";
    EXPECT_TRUE(pixelIs(199, 33, kMenuColour));
    EXPECT_TRUE(pixelIs(177, 33, kMenuColour)) << "four digits from 176";
    EXPECT_TRUE(pixelIs(175, 33, 0xFFFFFF));
    EXPECT_TRUE(pixelIs(195, 51, kMenuColour)) << "the one-digit score of the second row";
    EXPECT_TRUE(pixelIs(193, 51, 0xFFFFFF));
}

TEST_F(HighscoresTest, AGameEndsWithANameEnteredOnTheKeyboardAndStored)
{
    const int32_t score = 4200;
    menu->loadHighscores(1, u"testgame");
    ASSERT_TRUE(menu->isHighscore(score));
    menu->startNameEntry();
    EXPECT_EQ(GameMenu::STATE_NAME_ENTRY, menu->state);
    step();
    press('J');
    press('O');
    press('E');
    EXPECT_FALSE(GameMenu::nameReady);
    press(kKeySoftLeft); // the left soft key finishes
    ASSERT_TRUE(GameMenu::nameReady);
    EXPECT_EQ("joe", ascii(GameMenu::enteredName));

    // What the game does when it sees the name.
    menu->loadHighscores(1, u"testgame");
    menu->insertHighscore(GameMenu::enteredName, score);
    menu->saveHighscores(1, u"testgame");
    gamelib::GameMenuPtr reread = new GameMenu();
    reread->loadHighscores(1, u"testgame");
    EXPECT_EQ("joe", ascii((*reread->lines)[0]));
    EXPECT_EQ(score, (*reread->scores)[0]);
    EXPECT_EQ("nobody ", ascii((*reread->lines)[1]));

    // The next entry starts with the name entered last.
    menu->startNameEntry();
    EXPECT_FALSE(GameMenu::nameReady);
    EXPECT_EQ("joe", ascii(gamelib::VirtualKeyboard::shared()->text));
}

} // namespace

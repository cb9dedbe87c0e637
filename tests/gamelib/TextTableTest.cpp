#include "gamelib/TextTable.h"
#include "CoreTestSupport.h"
#include "DeviceFixture.h"
#include "GamelibTestSupport.h"
#include "ShellFixture.h"
#include "TempFolder.h"
#include "io/DFileInputStream.h"

#include <vector>

using namespace gamelib;
using namespace gamelibtest;
using namespace qev::lang;

namespace {

class TextTables : public DeviceTest
{
  protected:
    TextTables() { textTable = nullptr; }
    ~TextTables() override { textTable = nullptr; }

    // The lines readTextLine gives until its null.
    static std::vector<std::string> lines(const std::string& bytes, bool utf)
    {
        qev::io::DInputStreamPtr in = streamOf(bytes);
        std::vector<std::string> out;
        for (DStringPtr l = readTextLine(in, utf); l; l = readTextLine(in, utf))
            out.push_back(ascii(l));
        return out;
    }
};

std::string value(const qev::util::DHashtablePtr& table, const std::string& key)
{
    DObjectPtr v = table->get(DObjectPtr(str(key)));
    return v ? ascii(dcast<DString>(v)) : "<missing>";
}

} // namespace

TEST_F(TextTables, EightBitLinesSplitAtTheFirstEqualsSign)
{
    auto table = loadTextTable(streamOf("a=1\r\nb=x=y\r\nnoequals\r\nc=\r\na=2\r\n"), false);
    EXPECT_EQ("2", value(table, "a")); // the later line replaces the earlier
    EXPECT_EQ("x=y", value(table, "b"));
    EXPECT_EQ("", value(table, "c"));
    EXPECT_EQ("<missing>", value(table, "noequals"));
    EXPECT_EQ(3, table->size());
}

TEST_F(TextTables, EightBitLineEnds)
{
    // Line feeds alone do not end a line.
    EXPECT_EQ((std::vector<std::string>{"a=1\nb=2\n"}), lines("a=1\nb=2\n", false));
    // A partial last line counts; a final CR adds no empty line.
    EXPECT_EQ((std::vector<std::string>{"a", "b"}), lines("a\r\nb", false));
    EXPECT_EQ((std::vector<std::string>{"a"}), lines("a\r", false));
    // An empty line ends the file: what follows it is not read.
    EXPECT_EQ((std::vector<std::string>{"a"}), lines("a\r\n\r\nb\r\n", false));
    // The byte after a CR is skipped whatever it is.
    EXPECT_EQ((std::vector<std::string>{"a", "c"}), lines("a\rbc", false));
    // Bytes above 127 are characters 128..255.
    auto high = readTextLine(streamOf("\xE4\xFF"), false);
    ASSERT_EQ(2, high->length());
    EXPECT_EQ(0xE4, high->charAt(0));
    EXPECT_EQ(0xFF, high->charAt(1));
    EXPECT_TRUE(lines("", false).empty());
}

TEST_F(TextTables, FileStreamsEndWithoutAnError)
{
    // File streams report the end by an exception rather than -1; the last line still counts.
    testsupport::TempFolder folder;
    profile().programFile = folder.path() + "/game.exe";
    folder.write("keys.txt", "KEY_LEFT_SOFT2=-6\r\nKEY_RIGHT_SOFT2=-7");
    auto in = qev::io::DFileInputStream::open(u"keys.txt");
    auto table = loadTextTable(in, false);
    EXPECT_EQ("-6", value(table, "KEY_LEFT_SOFT2"));
    EXPECT_EQ("-7", value(table, "KEY_RIGHT_SOFT2"));
}

TEST_F(TextTables, UtfRecords)
{
    std::string bytes = record("LANGS=English;Deutsch") + record("") + record("x") +
                        record("SNAMES=en;de") + record("b=\r\n");
    auto table = loadTextTable(streamOf(bytes), true);
    EXPECT_EQ("English;Deutsch", value(table, "LANGS"));
    EXPECT_EQ("en;de", value(table, "SNAMES"));
    // Records are not split at CR or LF.
    EXPECT_EQ("\r\n", value(table, "b"));
    EXPECT_EQ(3, table->size());
    // A record cut short ends the file quietly, keeping what came before.
    auto cut = loadTextTable(streamOf(record("a=1") + record("b=2").substr(0, 3)), true);
    EXPECT_EQ("1", value(cut, "a"));
    EXPECT_EQ(1, cut->size());
    // Malformed text is an error, not an end.
    EXPECT_THROWS_CODE(ExceptionCode::UTFDataFormatException,
                       loadTextTable(streamOf(std::string("\0\2a\xC0", 4)), true));
}

TEST_F(TextTables, GlobalTableLookups)
{
    EXPECT_EQ("start", ascii(getText(u"start"))); // no table yet
    loadTexts(streamOf(record("start=Begin") + record("lang_num=x2") + record("n=-12")), true);
    EXPECT_EQ(1, textTableUtf);
    EXPECT_EQ("Begin", ascii(getText(u"start")));
    EXPECT_EQ("exit", ascii(getText(u"exit")));
    EXPECT_EQ(0, getTextInt(u"lang_num", 0));
    EXPECT_EQ(7, getTextInt(u"missing", 7));
    EXPECT_EQ(-12, getTextInt(u"n", 0));
    // Loading replaces every text.
    loadTexts(streamOf("exit=Quit\r\n"), false);
    EXPECT_EQ(0, textTableUtf);
    EXPECT_EQ("start", ascii(getText(u"start")));
    EXPECT_EQ("Quit", ascii(getText(u"exit")));
}

TEST_F(TextTables, ANumberTheGameNeedsNamesItsTextAndFileWhenMissing)
{
    loadTexts(streamOf("Lives=3\r\nspeed=fast\r\n"), false);
    languageShortNames = new qev::util::DVector();
    languageShortNames->addElement(DStringPtr(u"en"));
    languageIndex = 0;
    EXPECT_EQ(3, requireTextNumber(u"Lives"));
    for (const char16_t* key : {u"speed", u"dx1k"}) {
        std::string message;
        try {
            requireTextNumber(key);
        } catch (DExceptionBase* e) {
            EXPECT_EQ(ExceptionCode::NumberFormatException, e->code);
            message = std::string(e->message,
                                  e->message + std::char_traits<char16_t>::length(e->message));
            delete e;
        }
        const std::string name = ascii(DStringPtr(key));
        EXPECT_EQ(name == "speed" ? "text speed of /txt/res_en.txt is not a number"
                                  : "no text " + name + " in /txt/res_en.txt",
                  message);
    }
    // Texts that could not be read at all: the fault is named, not the text.
    languageTextsFault = u"no list SNAMES in /txt/lang.txt";
    try {
        requireTextNumber(u"dx1k");
        ADD_FAILURE() << "no exception";
    } catch (DExceptionBase* e) {
        EXPECT_EQ(ExceptionCode::IOException, e->code);
        EXPECT_EQ(u"no text dx1k: no list SNAMES in /txt/lang.txt", e->text());
        delete e;
    }
    EXPECT_EQ(3, requireTextNumber(u"Lives")) << "a text that is there is still read";
    languageTextsFault = nullptr;
    languageShortNames = nullptr;
    languageIndex = -1;
}

TEST_F(TextTables, SplitKeepsEmptyPieces)
{
    auto split = [](const char* text) {
        std::vector<std::string> out;
        DStringArrayPtr a = splitText(str(text), u';');
        for (int32_t i = 0; i < a->length; ++i)
            out.push_back(ascii((*a)[i]));
        return out;
    };
    EXPECT_EQ((std::vector<std::string>{"a", "b", ""}), split("a;b;"));
    EXPECT_EQ((std::vector<std::string>{"", "", ""}), split(";;"));
    EXPECT_EQ((std::vector<std::string>{""}), split(""));
    EXPECT_EQ((std::vector<std::string>{"ship.png", "10", "0", "20", "30"}),
              split("ship.png;10;0;20;30"));
    EXPECT_THROWS_CODE(ExceptionCode::NullPointerException, splitText(DStringPtr(), u';'));
}

namespace {

class TextFiles : public shelltest::ShellTest
{
  protected:
    TextFiles() { textTable = nullptr; }
    ~TextFiles() override { textTable = nullptr; }
};

} // namespace

TEST_F(TextFiles, ByResourceNameFromTheArchiveOrAPlainFile)
{
    // Archive entries end with -1 rather than an exception; the last line has no CR.
    openArchive({{"txt/res_de.txt", record("start=Anfang") + record("exit=Ende")},
                 {"data/keys.txt", "KEY_LEFT_SOFT2=21\r\nKEY_RIGHT_SOFT2=22"}});
    loadTextFile(u"/txt/res_de", true);
    EXPECT_EQ("Anfang", ascii(getText(u"start")));
    EXPECT_EQ("Ende", ascii(getText(u"exit")));
    loadTextFile(u"/data/keys", false);
    EXPECT_EQ(21, getTextInt(u"KEY_LEFT_SOFT2", 0));
    EXPECT_EQ(22, getTextInt(u"KEY_RIGHT_SOFT2", 0));
    EXPECT_EQ("start", ascii(getText(u"start")));
    // Not in the archive: the program folder's file.
    writeFile("txt/res_xx.txt", record("start=Go"));
    loadTextFile(u"/txt/res_xx", true);
    EXPECT_EQ("Go", ascii(getText(u"start")));
    // Neither: the stream's exception, and the texts stay.
    EXPECT_THROWS_CODE(ExceptionCode::IOException, loadTextFile(u"/txt/res_yy", true));
    EXPECT_EQ("Go", ascii(getText(u"start")));
}

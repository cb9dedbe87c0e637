#include "gamelib/TextTable.h"

#include "gamelib/GameLib.h"
#include "gamelib/MissingReport.h"
#include "io/DDataInputStream.h"
#include "lang/DExceptionBase.h"
#include "lang/DInteger.h"

#include <string>

namespace gamelib {

using namespace qev::lang;
using qev::io::DDataInputStream;
using qev::io::DInputStreamPtr;
using qev::util::DHashtable;
using qev::util::DHashtablePtr;

DHashtablePtr textTable;
int8_t textTableUtf = 0;
DStringPtr languageListFault;
DStringPtr languageTextsFault;

namespace {

constexpr int32_t kEndOfData = -1;

// One byte, or kEndOfData: archive streams answer -1 at the end, file streams throw.
int32_t nextByte(qev::io::DInputStream& in)
{
    try {
        return in.read();
    } catch (DExceptionBase* e) {
        if (e->code != ExceptionCode::EOFException)
            throw;
        delete e;
        return kEndOfData;
    }
}

DStringPtr readByteLine(qev::io::DInputStream& in)
{
    std::u16string line;
    for (;;) {
        const int32_t b = nextByte(in);
        if (b < 0)
            break;
        if (b == '\r') {
            nextByte(in); // the LF, whatever it is
            if (line.empty())
                return DStringPtr();
            break;
        }
        line.push_back(static_cast<char16_t>(b & 0xFF));
    }
    if (line.empty())
        return DStringPtr();
    return DStringPtr(new DString(line.data(), static_cast<int32_t>(line.size())));
}

DStringPtr readRecord(const DInputStreamPtr& stream)
{
    qev::io::DDataInputStreamPtr data(dynamic_cast<DDataInputStream*>(stream.get()));
    if (!data)
        data = new DDataInputStream(stream);
    try {
        return data->readUTF();
    } catch (DExceptionBase* e) {
        if (e->code != ExceptionCode::EOFException)
            throw;
        delete e;
        return DStringPtr();
    }
}

void storeLine(DHashtable& table, const DStringPtr& line)
{
    const int32_t eq = line->indexOf(u'=');
    if (eq < 0)
        return;
    table.put(line->substring(0, eq), line->substring(eq + 1));
}

void readInto(DHashtable& table, const DInputStreamPtr& stream, bool utf)
{
    // One data stream for the whole file instead of one per record.
    DInputStreamPtr in = stream;
    if (utf && !dynamic_cast<DDataInputStream*>(stream.get()))
        in = new DDataInputStream(stream);
    try {
        for (DStringPtr line = readTextLine(in, utf); line; line = readTextLine(in, utf))
            storeLine(table, line);
    } catch (...) {
        stream->close();
        throw;
    }
    stream->close();
}

// The text is one of the table's values. Only asked on a missed lookup.
bool isTextOf(const DHashtablePtr& table, const DStringPtr& text)
{
    if (!table)
        return false;
    for (qev::util::DEnumerationPtr keys = table->keys(); keys->hasMoreElements();) {
        DObjectPtr value = table->get(keys->nextElement());
        if (value && dcast<DString>(value)->equals(text))
            return true;
    }
    return false;
}

} // namespace

DStringPtr readTextLine(DInputStreamPtr stream, bool utf)
{
    if (utf)
        return readRecord(stream);
    return readByteLine(*stream);
}

DHashtablePtr loadTextTable(DInputStreamPtr stream, bool utf)
{
    DHashtablePtr table(new DHashtable(11, 75));
    readInto(*table, stream, utf);
    return table;
}

void loadTexts(DInputStreamPtr stream, bool utf)
{
    if (!textTable)
        textTable = new DHashtable(11, 75);
    textTable->clear();
    textTableUtf = utf ? 1 : 0;
    readInto(*textTable, stream, utf);
}

void loadTextFile(DStringPtr name, bool utf)
{
    loadTexts(GameLib::getResourceAsStream(name + u".txt"), utf);
}

void loadLanguageTexts()
{
    languageTextsFault = nullptr;
    try {
        DStringPtr shortName = dcast<DString>(languageShortNames->elementAt(languageIndex));
        loadTextFile(u"/txt/res_" + shortName, true);
    } catch (DExceptionBase* e) {
        if (!e->isException())
            throw;
        // A file named after a list that was not there is not the fault: the list is.
        languageTextsFault = languageListFault ? languageListFault : messageOf(*e);
        delete e;
    }
}

DStringPtr messageOf(const DExceptionBase& e)
{
    const std::u16string_view text = e.text();
    return DStringPtr(new DString(text.data(), static_cast<int32_t>(text.size())));
}

int32_t requireTextNumber(DStringPtr key)
{
    const bool present = textTable && textTable->get(DObjectPtr(key));
    if (!present && languageTextsFault)
        throwWithMessage(ExceptionCode::IOException,
                         u"no text " + key + u": " + languageTextsFault);
    if (present) {
        try {
            return DInteger::parseInt(getText(key), 10);
        } catch (DExceptionBase* e) {
            if (e->code != ExceptionCode::NumberFormatException)
                throw;
            delete e;
        }
    }
    DStringPtr file = u"the language texts";
    tolerant([&] {
        file =
            u"/txt/res_" + dcast<DString>(languageShortNames->elementAt(languageIndex)) + u".txt";
    });
    throwWithMessage(ExceptionCode::NumberFormatException,
                     present ? u"text " + key + u" of " + file + u" is not a number"
                             : u"no text " + key + u" in " + file);
}

DStringPtr getText(DStringPtr key)
{
    // The key stands in for a text the language lacks: on screen it reads like a fault. A text
    // handed in place of its key (a game may keep translated texts in its key list) is none.
    if (key && (!textTable || !textTable->get(DObjectPtr(key))) && !isTextOf(textTable, key))
        reportMissing(Missing::Text, key);
    return getTextFrom(textTable, key);
}

DStringPtr getTextFrom(DHashtablePtr table, DStringPtr key)
{
    if (!table || !key)
        return key;
    DObjectPtr value = table->get(DObjectPtr(key));
    if (!value)
        return key;
    return dcast<DString>(value);
}

int32_t getTextInt(DStringPtr key, int32_t defaultValue)
{
    if (!textTable || !key)
        return defaultValue;
    DObjectPtr value = textTable->get(DObjectPtr(key));
    if (!value)
        return defaultValue;
    try {
        return DInteger::parseInt(dcast<DString>(value));
    } catch (DExceptionBase* e) {
        if (!e->isException())
            throw;
        delete e;
        return defaultValue;
    }
}

DStringArrayPtr splitText(DStringPtr text, char16_t separator)
{
    if (!text)
        throwException(ExceptionCode::NullPointerException, "splitText of a null text");
    const DString& s = *text;
    int32_t pieces = 1;
    for (int32_t i = 0; i < s.length(); ++i) {
        if (s.chars()[i] == separator)
            ++pieces;
    }
    DStringArrayPtr result(new DStringArray(pieces));
    int32_t start = 0;
    int32_t n = 0;
    for (int32_t i = 0; i <= s.length(); ++i) {
        if (i == s.length() || s.chars()[i] == separator) {
            (*result)[n++] = s.substring(start, i);
            start = i + 1;
        }
    }
    return result;
}

} // namespace gamelib

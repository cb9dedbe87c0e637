// Key=value text files: the language texts, the key names, the screen configuration and the
// animation lists. Two line formats exist: 8-bit lines ended by CR (the byte after it, normally
// LF, is skipped unread) and modified-UTF-8 records with a 16-bit length.
#pragma once

#include "io/DInputStream.h"
#include "lang/DExceptionBase.h"
#include "lang/DStringArray.h"
#include "util/DHashtable.h"

#include <cstdint>

namespace gamelib {

// The texts of the current language (created by GameStatics::init; loading makes one when it
// is missing) and the format of the file last loaded into it (1: UTF records, 0: 8-bit lines).
extern qev::util::DHashtablePtr textTable;
extern int8_t textTableUtf;

// The next line, or null at the end. 8-bit lines: a partial last line counts, and an empty line
// (CR with nothing before it) is the end too. UTF records: the end of the data is the end, also
// in the middle of a record.
qev::lang::DStringPtr readTextLine(qev::io::DInputStreamPtr stream, bool utf);

// A new table with the stream's lines; closes the stream. A line is split at its first "=";
// one without "=" is skipped and a later key replaces an earlier one.
qev::util::DHashtablePtr loadTextTable(qev::io::DInputStreamPtr stream, bool utf);
// Replaces the global table's texts with the stream's lines and records the format.
void loadTexts(qev::io::DInputStreamPtr stream, bool utf);
// loadTexts of the resource name + ".txt".
void loadTextFile(qev::lang::DStringPtr name, bool utf);
// Why the language list could not give the languages (null when it did): set by the language
// menu, since the chosen language's file is named after the list.
extern qev::lang::DStringPtr languageListFault;
// Why the chosen language's texts could not be read (null when they were): the list's fault, or
// the error of the texts' own file.
extern qev::lang::DStringPtr languageTextsFault;

// The texts of the chosen language ("/txt/res_" + its short name); when they cannot be read,
// the table keeps the texts it has and languageTextsFault says why.
void loadLanguageTexts();
// A text that the game reads as a decimal number: NumberFormatException naming the text and the
// language file when it is missing or not a number, IOException naming the text and the fault
// when the language's texts could not be read.
int32_t requireTextNumber(qev::lang::DStringPtr key);
// The message of an exception as a string.
qev::lang::DStringPtr messageOf(const qev::lang::DExceptionBase& e);

// The value of the key, or the key itself when the table has none (a null table has none).
qev::lang::DStringPtr getText(qev::lang::DStringPtr key);
qev::lang::DStringPtr getTextFrom(qev::util::DHashtablePtr table, qev::lang::DStringPtr key);
// The value as a decimal integer; the default when the key is missing or does not parse.
int32_t getTextInt(qev::lang::DStringPtr key, int32_t defaultValue);

// The pieces between the separators, empty ones included: "a;b;" gives a, b and "".
// NullPointerException for a null text.
qev::lang::DStringArrayPtr splitText(qev::lang::DStringPtr text, char16_t separator);

} // namespace gamelib

// The verbs of datarules, one file each, and the text helpers they share. Each verb takes its
// arguments after the verb's name and returns the program's status.
#pragma once

#include "lang/DString.h"

#include <string>
#include <vector>

namespace datarules {

using Args = std::vector<std::string>;

int folders(const Args& args);
int probes(const Args& args);
int graphics(const Args& args);
int resource(const Args& args);
int bricks(const Args& args);
int pictures(const Args& args);

// ASCII in and out; any other character comes out as "?".
std::string narrow(const qev::lang::DStringPtr& text);
qev::lang::DStringPtr wide(const std::string& text);
// The non-empty lines of standard input.
std::vector<std::string> inputLines();
// A whole decimal number, or false.
bool parseNumber(const std::string& text, int32_t& value);

} // namespace datarules

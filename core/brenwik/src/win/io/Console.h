// The program's console output and error streams. Null until the host sets them; the host makes
// them print streams over files in the program's folder, or over nothing so output is dropped.
#pragma once

#include "io/DPrintStream.h"

namespace qev::io {

DPrintStreamPtr& consoleOut();
DPrintStreamPtr& consoleErr();

} // namespace qev::io

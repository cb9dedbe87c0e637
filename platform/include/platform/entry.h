// The program's entry as the handheld starts it: the layer's main() prepares the layer and calls
// WinMain with the command line in UTF-16, without the program name.
#pragma once

#include "platform/wintypes.h"

#include <string>

int WinMain(HINSTANCE instance, HINSTANCE previous, LPWSTR commandLine, int showCommand);

namespace platform {

// argv[1..] joined with single blanks; bytes that are not UTF-8 are read as Windows-1252 so no
// argument is lost.
std::u16string commandLineFrom(int argc, const char* const* argv);

} // namespace platform

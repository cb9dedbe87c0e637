// A scripted run of the program (PH_WINDOW_BACKEND=script): PH_SCRIPT is played on the headless
// window backend with the fake clock, and frames and records are written to PH_FRAMES.
#pragma once

#include "platform/wintypes.h"

namespace host {

// Status 0 for a clean run; 2 for a script or output folder that cannot be used (nothing runs);
// the engine's failure statuses; 5 when a message box was shown during an otherwise clean run.
int runScript(HINSTANCE instance, const char16_t* commandLine);

} // namespace host

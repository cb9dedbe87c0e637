// The program's run between WinMain and the engine: aygshell, the command line, and the
// top-level handlers around the engine's life.
#pragma once

#include "LoopHooks.h"

#include "platform/wintypes.h"

namespace host {

// Status of a run ended by an uncaught exception (after its "Error!" box).
constexpr int kRunFailed = 4;

// Creates, runs and deletes the engine; the engine is gone before any box is shown.
int runEngine(HINSTANCE instance, int width, int height, LoopHooks* hooks);
// Everything WinMain does for a run: binds aygshell, reads the switches, runs the engine.
int runProgram(HINSTANCE instance, const char16_t* commandLine, LoopHooks* hooks);

} // namespace host

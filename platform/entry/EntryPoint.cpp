#include "platform/entry.h"
#include "platform/files.h"
#include "platform/window/StopSignals.h"

#include <SDL.h>

#include <cstdio>

// Sanitizer builds: system libraries that keep process-lifetime caches are not our leaks.
extern "C" const char* __lsan_default_suppressions()
{
    return "leak:libfontconfig.so\n"
           "leak:libSDL2\n"
           "leak:libdbus\n"
           "leak:libX11\n";
}

int main(int argc, char** argv)
{
    std::string problem;
    if (!platform::checkProgramFile(&problem)) {
        std::fprintf(stderr, "pallasterhorn: %s\n", problem.c_str());
        return 1;
    }
    // Before SDL or any thread starts: Ctrl+C and kill then end the run in order.
    platform::catchStopSignals();
    std::u16string line = platform::commandLineFrom(argc, argv);
    // The instance handle only has to be distinct from null; nothing dereferences it.
    static char instanceTag;
    int code = WinMain(reinterpret_cast<HINSTANCE>(&instanceTag), nullptr, line.data(), 5);
    // Audio devices and windows still open go with the subsystems.
    SDL_Quit();
    return code;
}

// soak: plays the whole program (host loop, shell and every game it has) with random input on
// the fake clock for a given time, and reports what it reached, crashes, hangs and memory.
//
//   soak [--minutes M | --hours H] [--seed S] [--data FOLDER]
//
// The program runs in this process, driven through the host's loop hooks, on the headless window
// backend with the manual audio device and a record store in a throw-away folder. A run that ends
// (the player quit, an uncaught exception, a message box, a hang) is counted and followed by a
// new one on the same records, until the time is played. Status 0 when nothing went wrong, 1
// after a crash or hang, 2 for bad arguments.
#include "SoakRun.h"

#include "CreateMIDlet.h"

#include <cstdio>
#include <cstdlib>
#include <string>

[[maybe_unused]] static auto* const application = &createMIDlet;

namespace {

bool parse(int argc, char** argv, soak::SoakOptions& o)
{
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (i + 1 >= argc)
            return false;
        const char* v = argv[++i];
        char* end = nullptr;
        if (a == "--minutes" || a == "--hours") {
            const double n = std::strtod(v, &end);
            if (*end || !(n > 0) || n > 24 * 365)
                return false;
            o.minutes = a == "--hours" ? n * 60 : n;
        } else if (a == "--seed") {
            o.seed = std::strtoull(v, &end, 10);
            if (*end || !*v)
                return false;
        } else if (a == "--data") {
            o.data = v;
        } else {
            return false;
        }
    }
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    soak::SoakOptions options;
    options.data = PH_SOAK_DATA_FOLDER;
    if (!parse(argc, argv, options)) {
        std::fprintf(stderr, "usage: soak [--minutes M | --hours H] [--seed S] [--data FOLDER]\n");
        return 2;
    }
    soak::SoakFigures figures;
    if (!soak::runSoak(options, figures)) {
        std::fprintf(stderr, "soak: cannot make a folder for the records\n");
        return 2;
    }
    std::fputs(soak::formatFigures(figures, options.seed).c_str(), stdout);
    std::fflush(stdout); // before any exit-time checker of the build ends the process
    return figures.crashes == 0 && figures.hangs == 0 ? 0 : 1;
}

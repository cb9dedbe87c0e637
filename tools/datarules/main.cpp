// datarules: the game's own answers to what the data generator must know about names, bricks
// and pictures, so that the generator keeps no copy of the game's rules.
//
//   datarules folders [SET]    the folders a graphics set may redirect, one a line; with SET,
//                              each followed by the entry naming its alias in that set
//   datarules probes SET...    reads stored entry names, one a line, and writes every name the
//                              game may try for them on a large screen with the graphics sets
//                              SET..., and the alias files of those sets, one a line
//   datarules graphics HEIGHT SET [FOLDER=ALIAS]...
//                              reads graphics names ("/menu/back.jpg"), one a line, and writes
//                              for each the archive names the game tries for it, in order, on
//                              one line, on a screen HEIGHT pixels high with the graphics set
//                              SET and the given folder aliases
//   datarules resource HEIGHT  the same for names read as resources ("/txt/lang")
//   datarules bricks           the brick grid ("grid ROWS COLUMNS"), each letter of a level file
//                              ("letter L TYPE HITS") and each brick kind with its rules
//                              ("kind TYPE NAME [counts]")
//   datarules pictures N...    reads the gallery's picture list and writes, for each picture
//                              number N, a line with the background and the overlays
//                              ("name;x;y") in drawing order; "-" for a picture without a line
#include "Rules.h"

#include <cstdio>
#include <cstring>

namespace {

struct Verb
{
    const char* name;
    int (*run)(const datarules::Args&);
};

constexpr Verb kVerbs[] = {
    {"folders", datarules::folders},   {"probes", datarules::probes},
    {"graphics", datarules::graphics}, {"resource", datarules::resource},
    {"bricks", datarules::bricks},     {"pictures", datarules::pictures},
};

int usage()
{
    std::fputs("usage: datarules folders [SET] | probes SET... | graphics HEIGHT SET "
               "[FOLDER=ALIAS]... | resource HEIGHT | bricks | pictures N...\n",
               stderr);
    return 2;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2)
        return usage();
    const datarules::Args args(argv + 2, argv + argc);
    for (const Verb& verb : kVerbs)
        if (std::strcmp(argv[1], verb.name) == 0) {
            const int status = verb.run(args);
            return status == 2 ? usage() : status;
        }
    return usage();
}

// A script of the scripted runner: one command a line, '#' starts a comment.
//   seed MS                     the fake clock's start in milliseconds (only before any other
//                               command; default 1000000)
//   P key down|up|repeat VK     a key event queued at loop pass P (VK a decimal virtual key)
//   P press VK                  down at P, up at P + 1
//   P tap X Y                   stylus down at P, up at P + 1
//   P pointer down|move|up X Y  a stylus event at P, in screen pixels
//   P activate | P deactivate   the window gains or loses the focus at P
//   P stall MS                  the clock jumps MS before pass P, without a pass
//   P dump NAME                 the frame as NAME.png after pass P
//   P records NAME              every record store as NAME.txt after pass P
//                               (NAME never one of the runner's own files: the manifest, the
//                               records database)
//   P end                       a normal end after pass P, as closing the window
// Commands at one pass run in file order.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace host {

struct ScriptCommand
{
    enum class Kind {
        KeyDown,
        KeyUp,
        KeyRepeat,
        PointerDown,
        PointerMove,
        PointerUp,
        Activate,
        Deactivate,
        Stall,
        Dump,
        Records,
        End
    };
    long pass = 0;
    Kind kind = Kind::End;
    int key = 0;
    int x = 0;
    int y = 0;
    int64_t millis = 0;
    std::string name;
    int line = 0;

    // Input and stalls happen before their pass; dumps, records and the end after it.
    bool afterPass() const
    {
        return kind == Kind::Dump || kind == Kind::Records || kind == Kind::End;
    }
};

struct Script
{
    static constexpr int64_t kDefaultSeed = 1000000;
    static constexpr long kLastPass = 10000000;

    int64_t seed = kDefaultSeed;
    // In pass order, file order within a pass.
    std::vector<ScriptCommand> commands;

    // False with one "line N: ..." text per refused line.
    static bool parse(const std::string& text, Script& out, std::vector<std::string>& errors);
    // The last pass a command names (0 without commands).
    long lastPass() const;
};

} // namespace host

// The scripted runner's script on arbitrary text: every line is either a command or refused
// with its number, and an accepted script keeps its promises (passes in order and in range,
// output names that stay in the output folder and replace none of the runner's own files).
#include "Script.h"

#include <cctype>
#include <cstdlib>
#include <set>
#include <string>
#include <vector>

namespace {

bool startsWithLineNumber(const std::string& error)
{
    if (error.rfind("line ", 0) != 0)
        return false;
    size_t i = 5;
    while (i < error.size() && std::isdigit(static_cast<unsigned char>(error[i])))
        ++i;
    return i > 5 && i < error.size() && error[i] == ':';
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    host::Script script;
    std::vector<std::string> errors;
    const bool ok = host::Script::parse(text, script, errors);
    if (ok != errors.empty())
        std::abort();
    for (const std::string& e : errors)
        if (!startsWithLineNumber(e))
            std::abort();
    if (!ok)
        return 0;

    using Kind = host::ScriptCommand::Kind;
    std::set<std::string> names;
    long previous = 0;
    for (const host::ScriptCommand& c : script.commands) {
        // A press or tap adds its release one pass after the last pass a line may name.
        if (c.pass < previous || c.pass < 0 || c.pass > host::Script::kLastPass + 1)
            std::abort();
        previous = c.pass;
        if ((c.kind == Kind::KeyDown || c.kind == Kind::KeyUp || c.kind == Kind::KeyRepeat) &&
            (c.key < 1 || c.key > 254))
            std::abort();
        if (c.x < 0 || c.x > 65535 || c.y < 0 || c.y > 65535 || c.millis < 0)
            std::abort();
        if (c.kind == Kind::Dump || c.kind == Kind::Records) {
            const std::string& n = c.name;
            if (n.empty() || n.front() == '.' || n.find('/') != std::string::npos ||
                n.find('\0') != std::string::npos || !names.insert(n).second)
                std::abort();
            std::string lower;
            for (char ch : n)
                lower += static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
            // No output's file is one of the runner's own.
            const std::string file = lower + (c.kind == Kind::Dump ? ".png" : ".txt");
            for (const char* own :
                 {"manifest.txt", "registry.sqlite", "registry.sqlite-journal",
                  "registry.sqlite-wal", "registry.sqlite-shm", "registry.sqlite-runner"})
                if (file == own)
                    std::abort();
        }
    }
    if (script.seed < 0 || script.lastPass() != previous)
        std::abort();
    return 0;
}

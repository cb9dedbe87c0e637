#include "Script.h"

#include <algorithm>
#include <cctype>
#include <set>
#include <sstream>

namespace host {

namespace {

// A plain decimal number, whole token, within [low, high].
bool number(const std::string& token, int64_t low, int64_t high, int64_t& out)
{
    if (token.empty() || token.size() > 18)
        return false;
    int64_t v = 0;
    for (char c : token) {
        if (c < '0' || c > '9')
            return false;
        v = v * 10 + (c - '0');
    }
    if (v < low || v > high)
        return false;
    out = v;
    return true;
}

// Output names stay inside the frames folder: no separators, nothing hidden.
bool validName(const std::string& name)
{
    if (name.empty() || name.size() > 64 || name.front() == '.')
        return false;
    for (char c : name)
        if (!std::isalnum(static_cast<unsigned char>(c)) && c != '_' && c != '-' && c != '.')
            return false;
    return true;
}

// Whether an output's file (its name as written, with its extension) is one of the runner's own
// files in the output folder: the manifest and the records database with its journal, log, lock
// and mark files. Compared without case, so that no output replaces one of them on a folder that
// ignores case either.
bool reservedOutput(const std::string& file)
{
    std::string lower;
    for (char c : file)
        lower += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    for (const char* own : {"manifest.txt", "registry.sqlite", "registry.sqlite-journal",
                            "registry.sqlite-wal", "registry.sqlite-shm", "registry.sqlite-runner"})
        if (lower == own)
            return true;
    return false;
}

std::vector<std::string> tokens(const std::string& line)
{
    std::vector<std::string> out;
    std::istringstream in(line.substr(0, line.find('#')));
    for (std::string t; in >> t;)
        out.push_back(t);
    return out;
}

} // namespace

long Script::lastPass() const
{
    long last = 0;
    for (const ScriptCommand& c : commands)
        last = std::max(last, c.pass);
    return last;
}

bool Script::parse(const std::string& text, Script& out, std::vector<std::string>& errors)
{
    out = Script{};
    std::istringstream lines(text);
    std::string line;
    int lineNumber = 0;
    bool seenCommand = false, seenSeed = false;
    std::set<std::string> outputs;
    using Kind = ScriptCommand::Kind;

    while (std::getline(lines, line)) {
        ++lineNumber;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        const std::vector<std::string> t = tokens(line);
        if (t.empty())
            continue;
        auto refuse = [&](const std::string& why) {
            errors.push_back("line " + std::to_string(lineNumber) + ": " + why);
        };
        int64_t v = 0;
        if (t[0] == "seed") {
            if (seenCommand || seenSeed)
                refuse("seed must come once, before any other command");
            else if (t.size() != 2 || !number(t[1], 0, int64_t{1} << 52, v))
                refuse("expected: seed MS");
            else
                out.seed = v;
            seenSeed = true;
            continue;
        }
        seenCommand = true;
        if (!number(t[0], 0, kLastPass, v)) {
            refuse("expected a pass number (0 to " + std::to_string(kLastPass) + ") or seed");
            continue;
        }
        ScriptCommand c;
        c.pass = static_cast<long>(v);
        c.line = lineNumber;
        const std::string verb = t.size() > 1 ? t[1] : "";
        const size_t n = t.size();
        auto key = [&](size_t i) {
            int64_t k = 0;
            if (!number(t[i], 1, 254, k))
                return false;
            c.key = static_cast<int>(k);
            return true;
        };
        auto point = [&](size_t i) {
            int64_t x = 0, y = 0;
            if (!number(t[i], 0, 65535, x) || !number(t[i + 1], 0, 65535, y))
                return false;
            c.x = static_cast<int>(x);
            c.y = static_cast<int>(y);
            return true;
        };
        bool ok = false;
        if (verb == "key" && n == 4 && key(3)) {
            if (t[2] == "down")
                c.kind = Kind::KeyDown, ok = true;
            else if (t[2] == "up")
                c.kind = Kind::KeyUp, ok = true;
            else if (t[2] == "repeat")
                c.kind = Kind::KeyRepeat, ok = true;
        } else if (verb == "press" && n == 3 && key(2)) {
            c.kind = Kind::KeyDown;
            out.commands.push_back(c);
            c.kind = Kind::KeyUp;
            ++c.pass;
            ok = true;
        } else if (verb == "tap" && n == 4 && point(2)) {
            c.kind = Kind::PointerDown;
            out.commands.push_back(c);
            c.kind = Kind::PointerUp;
            ++c.pass;
            ok = true;
        } else if (verb == "pointer" && n == 5 && point(3)) {
            if (t[2] == "down")
                c.kind = Kind::PointerDown, ok = true;
            else if (t[2] == "move")
                c.kind = Kind::PointerMove, ok = true;
            else if (t[2] == "up")
                c.kind = Kind::PointerUp, ok = true;
        } else if ((verb == "activate" || verb == "deactivate" || verb == "end") && n == 2) {
            c.kind = verb == "activate"     ? Kind::Activate
                     : verb == "deactivate" ? Kind::Deactivate
                                            : Kind::End;
            ok = true;
        } else if (verb == "stall" && n == 3 && number(t[2], 0, 86400000, v)) {
            c.kind = Kind::Stall;
            c.millis = v;
            ok = true;
        } else if ((verb == "dump" || verb == "records") && n == 3) {
            if (!validName(t[2])) {
                refuse("a name is up to 64 letters, digits, '.', '_' or '-', not starting "
                       "with '.'");
                continue;
            }
            c.kind = verb == "dump" ? Kind::Dump : Kind::Records;
            c.name = t[2] + (verb == "dump" ? ".png" : ".txt");
            if (reservedOutput(c.name)) {
                refuse(c.name + " is one of the runner's own files");
                continue;
            }
            if (!outputs.insert(c.name).second) {
                refuse(c.name + " is written twice");
                continue;
            }
            ok = true;
        }
        if (!ok) {
            refuse("not a command: \"" + line.substr(0, 80) + "\"");
            continue;
        }
        out.commands.push_back(c);
    }
    std::stable_sort(
        out.commands.begin(), out.commands.end(),
        [](const ScriptCommand& a, const ScriptCommand& b) { return a.pass < b.pass; });
    return errors.empty();
}

} // namespace host

// The names the game looks resources up under (gamelib/ResourceNames).
#include "Rules.h"

#include "ProgramGames.h"
#include "gamelib/ResourceNames.h"

#include <cstdio>
#include <map>
#include <set>

namespace datarules {

using qev::lang::DStringArrayPtr;
using qev::lang::DStringPtr;

namespace {

constexpr int32_t kLargeScreenHeight = 320;

void addAll(std::set<std::string>& out, const DStringArrayPtr& names)
{
    for (int32_t i = 0; i < names->length; ++i)
        out.insert(narrow(names[i]));
}

bool endsWith(const std::string& text, const std::string& suffix)
{
    return text.size() >= suffix.size() &&
           text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0;
}

bool isImage(const std::string& name)
{
    return endsWith(name, ".png") || endsWith(name, ".jpg");
}

// What reading, playing or drawing `name` tries: its archive names, the other sound files of a
// sound, the image prefix for pictures, and for an entry of a graphics set the lookup of its
// name in every set, alias and the common set.
void probesOf(const std::string& name, const std::vector<std::string>& sets,
              std::set<std::string>& out)
{
    const DStringPtr n = wide(name);
    addAll(out, gamelib::archiveNamesOf(n, kLargeScreenHeight));
    if (isImage(name))
        out.insert(
            narrow(qev::lang::DString::concat(gamelib::imagePathFor(kLargeScreenHeight), n)));
    // A sound stored under a later kind was first looked for under each earlier one.
    for (const gamelib::SoundKind& stored : gamelib::kSoundKinds) {
        const std::string storedSuffix = narrow(DStringPtr(stored.suffix));
        if (!endsWith(name, storedSuffix))
            continue;
        const std::string base = name.substr(0, name.size() - storedSuffix.size());
        for (const gamelib::SoundKind& earlier : gamelib::kSoundKinds) {
            if (&earlier == &stored)
                break;
            out.insert(base + narrow(DStringPtr(earlier.suffix)));
        }
    }
    const std::string graphicsFolder = "/graphics/";
    if (name.rfind(graphicsFolder, 0) != 0)
        return;
    const size_t end = name.find('/', graphicsFolder.size());
    if (end == std::string::npos || end == graphicsFolder.size())
        return;
    const DStringPtr rest = wide(name.substr(end));
    for (const std::string& set : sets)
        addAll(out, gamelib::graphicsNamesOf(rest, wide(set), wide(set)));
    addAll(out, gamelib::graphicsNamesOf(rest, DStringPtr(), DStringPtr()));
}

// The archive names one read of `name` tries, in order: an image under the image prefix first,
// anything else under its archive names.
void writeTries(std::string& line, const DStringPtr& name, int32_t height)
{
    const std::string text = narrow(name);
    if (isImage(text)) {
        const std::string prefix = narrow(gamelib::imagePathFor(height));
        if (!prefix.empty())
            line += " " + prefix + text;
        line += " " + text;
        return;
    }
    DStringArrayPtr names = gamelib::archiveNamesOf(name, height);
    for (int32_t i = 0; i < names->length; ++i)
        line.append(" ").append(narrow(names[i]));
}

void printLine(const std::string& line)
{
    std::printf("%s\n", line.empty() ? "" : line.c_str() + 1);
}

} // namespace

int folders(const Args& args)
{
    if (args.size() > 1)
        return 2;
    DStringArrayPtr names = gamelib::aliasedFolders(programGames());
    for (int32_t i = 0; i < names->length; ++i) {
        std::string line = narrow(names[i]);
        if (!args.empty())
            line.append(" ").append(narrow(gamelib::aliasFileOf(wide(args[0]), names[i])));
        std::printf("%s\n", line.c_str());
    }
    return 0;
}

int probes(const Args& sets)
{
    std::set<std::string> out;
    for (const std::string& name : inputLines())
        probesOf(name, sets, out);
    DStringArrayPtr names = gamelib::aliasedFolders(programGames());
    for (const std::string& set : sets)
        for (int32_t i = 0; i < names->length; ++i)
            out.insert(narrow(gamelib::aliasFileOf(wide(set), names[i])));
    for (const std::string& probe : out)
        std::printf("%s\n", probe.c_str());
    return 0;
}

int graphics(const Args& args)
{
    int32_t height = 0;
    if (args.size() < 2 || !parseNumber(args[0], height))
        return 2;
    const DStringPtr set = wide(args[1]);
    std::map<std::string, std::string> aliases;
    for (size_t i = 2; i < args.size(); ++i) {
        const size_t eq = args[i].find('=');
        if (eq == std::string::npos)
            return 2;
        aliases[args[i].substr(0, eq)] = args[i].substr(eq + 1);
    }
    for (const std::string& name : inputLines()) {
        const DStringPtr n = wide(name);
        const auto alias = aliases.find(narrow(gamelib::folderOf(n)));
        // A folder without an alias reads as "null", which names nothing.
        const DStringPtr aliasName = alias == aliases.end() ? DStringPtr() : wide(alias->second);
        DStringArrayPtr names = gamelib::graphicsNamesOf(n, set, aliasName);
        std::string line;
        for (int32_t i = 0; i < names->length; ++i)
            writeTries(line, names[i], height);
        printLine(line);
    }
    return 0;
}

int resource(const Args& args)
{
    int32_t height = 0;
    if (args.size() != 1 || !parseNumber(args[0], height))
        return 2;
    for (const std::string& name : inputLines()) {
        std::string line;
        DStringArrayPtr names = gamelib::archiveNamesOf(wide(name), height);
        for (int32_t i = 0; i < names->length; ++i)
            line.append(" ").append(narrow(names[i]));
        printLine(line);
    }
    return 0;
}

} // namespace datarules

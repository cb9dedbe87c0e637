// datarules: the game's own answers to what the data generator must know about names, so that
// the generator keeps no copy of the game's rules.
//
//   datarules folders          the folders a graphics set may redirect, one a line
//   datarules probes SET...    reads stored entry names, one a line, and writes every name the
//                              game may try for them on a large screen with the graphics sets
//                              SET..., and the alias files of those sets, one a line
#include "ProgramGames.h"
#include "gamelib/ResourceNames.h"

#include <cstdio>
#include <iostream>
#include <set>
#include <string>
#include <vector>

using qev::lang::DStringArrayPtr;
using qev::lang::DStringPtr;

namespace {

constexpr int32_t kLargeScreenHeight = 320;

std::string narrow(const DStringPtr& text)
{
    std::string out;
    for (int32_t i = 0; i < text->length(); ++i) {
        const char16_t c = text->charAt(i);
        out.push_back(c < 0x80 ? static_cast<char>(c) : '?');
    }
    return out;
}

DStringPtr wide(const std::string& text)
{
    return DStringPtr(std::u16string(text.begin(), text.end()).c_str());
}

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

// What reading, playing or drawing `name` tries: its archive names, the other sound files of a
// sound, the image prefix for pictures, and for an entry of a graphics set the lookup of its
// name in every set, alias and the common set.
void probesOf(const std::string& name, const std::vector<std::string>& sets,
              std::set<std::string>& out)
{
    const DStringPtr n = wide(name);
    addAll(out, gamelib::archiveNamesOf(n, kLargeScreenHeight));
    if (endsWith(name, ".png") || endsWith(name, ".jpg"))
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
    const std::string graphics = "/graphics/";
    if (name.rfind(graphics, 0) != 0)
        return;
    const size_t end = name.find('/', graphics.size());
    if (end == std::string::npos || end == graphics.size())
        return;
    const DStringPtr rest = wide(name.substr(end));
    for (const std::string& set : sets)
        addAll(out, gamelib::graphicsNamesOf(rest, wide(set), wide(set)));
    addAll(out, gamelib::graphicsNamesOf(rest, DStringPtr(), DStringPtr()));
}

int usage()
{
    std::fputs("usage: datarules folders | datarules probes SET... < names\n", stderr);
    return 2;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2)
        return usage();
    const std::string command = argv[1];
    if (command == "folders" && argc == 2) {
        DStringArrayPtr folders = gamelib::aliasedFolders(programGames());
        for (int32_t i = 0; i < folders->length; ++i)
            std::printf("%s\n", narrow(folders[i]).c_str());
        return 0;
    }
    if (command != "probes")
        return usage();
    const std::vector<std::string> sets(argv + 2, argv + argc);
    std::set<std::string> probes;
    std::string line;
    while (std::getline(std::cin, line))
        if (!line.empty())
            probesOf(line, sets, probes);
    DStringArrayPtr folders = gamelib::aliasedFolders(programGames());
    for (const std::string& set : sets)
        for (int32_t i = 0; i < folders->length; ++i)
            probes.insert(narrow(gamelib::aliasFileOf(wide(set), folders[i])));
    for (const std::string& probe : probes)
        std::printf("%s\n", probe.c_str());
    return 0;
}

// Any bytes as the screen configuration "/240x320" and the six folder alias ("path") files of
// its graphics set, separated by "|||": reading the configuration reports success or failure
// and raises nothing; on success the graphics set and every alias are what the files say, and
// graphics lookups through the aliases fail only with IOException.
#include "ProgramFolder.h"

#include "gamelib/GameLib.h"

#include "io/DInputStream.h"
#include "lang/DString.h"

#include <cstdlib>
#include <filesystem>
#include <iterator>
#include <map>
#include <string>
#include <vector>

using namespace qev::lang;

namespace {

const char* const kFolders[] = {"tesk", "mirf", "corv", "menu", "input", "img"};
// The program's games as the main menu's table holds them: their folders are the first three.
const gamelib::GameEntry kGames[] = {{u"tesk"}, {u"mirf"}, {u"corv"}};

std::vector<std::string> partsOf(const uint8_t* data, size_t size, size_t most)
{
    const std::string all(reinterpret_cast<const char*>(data), size);
    std::vector<std::string> parts;
    size_t start = 0;
    while (parts.size() < most) {
        const size_t end = all.find("|||", start);
        parts.push_back(all.substr(start, end == std::string::npos ? end : end - start));
        if (end == std::string::npos)
            break;
        start = end + 3;
    }
    return parts;
}

std::u16string wide(const DStringPtr& s)
{
    return s ? std::u16string(s->chars(), static_cast<size_t>(s->length())) : u"(null)";
}

// The value of "graphics" as the 8-bit line format gives it (the key itself when missing).
std::u16string expectedSet(const std::string& config)
{
    std::u16string set = u"graphics";
    size_t i = 0;
    while (i < config.size()) {
        std::u16string line;
        while (i < config.size() && config[i] != '\r')
            line.push_back(static_cast<uint8_t>(config[i++]));
        i += 2;
        if (line.empty())
            break;
        if (line.compare(0, 9, u"graphics=") == 0)
            set = line.substr(9);
    }
    return set;
}

// The bytes up to the first CR, as characters.
std::u16string expectedAlias(const std::string& path)
{
    std::u16string alias;
    for (size_t i = 0; i < path.size() && path[i] != '\r'; ++i)
        alias.push_back(static_cast<uint8_t>(path[i]));
    return alias;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const bool once =
        (fuzzsupport::useScreen(240, 320), gamelib::shellScreens().games = kGames, true);
    (void)once;
    const std::string root = fuzzsupport::programFolder();
    const std::vector<std::string> parts = partsOf(data, size, 7);
    fuzzsupport::writeFile("/240x320", parts[0]);
    // The alias files go to the set "fz"; a configuration that names another set finds none.
    // Those this input lacks are removed (the folders stay: removing and making the tree for
    // every input took more time than reading it).
    std::map<std::string, std::u16string> aliases;
    for (size_t i = 1; i <= std::size(kFolders); ++i) {
        const std::string name = std::string("/graphics/fz/") + kFolders[i - 1] + "/path";
        if (i >= parts.size()) {
            std::error_code ignored;
            std::filesystem::remove(root + name, ignored);
            continue;
        }
        fuzzsupport::writeFile(name, parts[i]);
        aliases[kFolders[i - 1]] = expectedAlias(parts[i]);
    }
    gamelib::graphicsSet = nullptr;
    gamelib::folderAliases = nullptr;
    bool read = false;
    try {
        read = gamelib::GameLib::loadScreenConfig();
    } catch (DExceptionBase* e) {
        fuzzsupport::expectOnly(e, {});
    }
    if (!read)
        std::abort(); // the file is there, so it is read
    const std::u16string set = expectedSet(parts[0]);
    if (wide(gamelib::graphicsSet) != set)
        std::abort();
    for (const char* folder : kFolders) {
        const std::string f(folder);
        DObjectPtr alias =
            gamelib::folderAliases->get(DObjectPtr(DStringPtr(new DString(f.c_str()))));
        // Other spellings of the set ("./fz") may reach the same files: checked for "fz" only.
        if (set == u"fz") {
            const std::u16string want = aliases.count(f) ? aliases[f] : u"";
            if (want.empty() ? bool(alias) : wide(dcast<DString>(alias)) != want)
                std::abort();
        }
        // A lookup through whatever the alias says opens a file or fails with IOException.
        try {
            gamelib::GameLib::openGraphicsStream(
                DStringPtr(new DString(("/" + f + "/x.png").c_str())));
        } catch (DExceptionBase* e) {
            fuzzsupport::expectOnly(e, {ExceptionCode::IOException});
        }
    }
    return 0;
}

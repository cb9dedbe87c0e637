#include "platform/DeviceProfile.h"

#include "platform/testing/FakeClock.h"
#include "platform/testing/FileFaults.h"
#include "platform/text.h"

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iterator>

namespace platform {

namespace {

// Whole-text integer within [low, high]: plain decimal digits (a leading zero is still decimal),
// or with `hex` also 0x followed by hex digits. No sign, no white space.
bool parseNumber(const char* text, long long low, long long high, long long& out, bool hex = false)
{
    if (!text || !*text)
        return false;
    int base = 10;
    if (hex && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        base = 16;
        text += 2;
        if (!*text)
            return false;
    }
    unsigned long long v = 0;
    for (const char* c = text; *c; ++c) {
        int digit;
        if (*c >= '0' && *c <= '9')
            digit = *c - '0';
        else if (base == 16 && *c >= 'a' && *c <= 'f')
            digit = *c - 'a' + 10;
        else if (base == 16 && *c >= 'A' && *c <= 'F')
            digit = *c - 'A' + 10;
        else
            return false;
        v = v * base + static_cast<unsigned long long>(digit);
        if (v > static_cast<unsigned long long>(high))
            return false;
    }
    if (static_cast<long long>(v) < low)
        return false;
    out = static_cast<long long>(v);
    return true;
}

// Each choice's names, in the order its warning lists them.
template <typename T> struct Named
{
    const char* name;
    T value;
};
constexpr Named<ClockMode> kClockModes[] = {{"real", ClockMode::Real}, {"fake", ClockMode::Fake}};
constexpr Named<WindowMode> kWindowModes[] = {
    {"sdl", WindowMode::Sdl}, {"headless", WindowMode::Headless}, {"script", WindowMode::Script}};
constexpr Named<AudioMode> kAudioModes[] = {{"sdl", AudioMode::Sdl}, {"manual", AudioMode::Manual}};
constexpr Named<MessageBoxMode> kMessageBoxModes[] = {{"show", MessageBoxMode::Shown},
                                                      {"record", MessageBoxMode::Recorded}};
constexpr Named<bool> kMapiChoices[] = {{"0", false}, {"1", true}};

// A folder name of its own: no separators, no "." or "..", nothing hidden.
bool validNamespace(const std::string& name)
{
    if (name.empty() || name.size() > 64 || name.front() == '.')
        return false;
    for (char c : name)
        if (!std::isalnum(static_cast<unsigned char>(c)) && c != '.' && c != '_' && c != '-')
            return false;
    return true;
}

DeviceProfile& storage()
{
    static DeviceProfile profile = [] {
        DeviceProfile p;
        for (const std::string& w :
             p.applyEnvironment([](const char* n) { return std::getenv(n); }))
            std::fprintf(stderr, "pallasterhorn: %s\n", w.c_str());
        return p;
    }();
    return profile;
}

} // namespace

DeviceProfile& DeviceProfile::current()
{
    return storage();
}

void DeviceProfile::reset()
{
    storage() = DeviceProfile{};
    storage().registryPath = defaultRegistryPath([](const char* n) { return std::getenv(n); });
    FakeClock::reset();
    FileFaults::clear();
}

std::string
DeviceProfile::defaultRegistryPath(const std::function<const char*(const char*)>& lookup)
{
    const char* xdg = lookup("XDG_DATA_HOME");
    if (xdg && *xdg == '/')
        return std::string(xdg) + "/pallasterhorn/registry.sqlite";
    const char* home = lookup("HOME");
    if (home && *home)
        return std::string(home) + "/.local/share/pallasterhorn/registry.sqlite";
    return "pallasterhorn-registry.sqlite";
}

std::vector<std::string>
DeviceProfile::applyEnvironment(const std::function<const char*(const char*)>& lookup)
{
    std::vector<std::string> warnings;
    auto number = [&](const char* name, long long low, long long high, auto& field,
                      bool hex = false) {
        const char* v = lookup(name);
        if (!v)
            return false;
        long long n = 0;
        if (parseNumber(v, low, high, n, hex)) {
            field = static_cast<std::remove_reference_t<decltype(field)>>(n);
            return true;
        }
        warnings.push_back(std::string(name) + "=\"" + v + "\" ignored: expected a number from " +
                           std::to_string(low) + " to " + std::to_string(high));
        return false;
    };
    auto text = [&](const char* name, std::u16string& field) {
        const char* v = lookup(name);
        if (!v)
            return;
        std::u16string converted;
        if (utf8ToUtf16(v, converted))
            field = converted;
        else
            warnings.push_back(std::string(name) + " ignored: not valid UTF-8");
    };
    // A value from the choice's table; anything else is ignored with a warning that lists the
    // table's names.
    auto choice = [&](const char* variable, const auto& table, auto& field) {
        const char* v = lookup(variable);
        if (!v)
            return;
        for (const auto& [name, value] : table)
            if (std::strcmp(v, name) == 0) {
                field = value;
                return;
            }
        std::string expected;
        for (size_t i = 0; i < std::size(table); ++i)
            expected += std::string(i == 0                      ? "\""
                                    : i + 1 == std::size(table) ? " or \""
                                                                : ", \"") +
                        table[i].name + "\"";
        warnings.push_back(std::string(variable) + "=\"" + v + "\" ignored: expected " + expected);
    };

    number("PH_SCREEN_WIDTH", 1, 8192, screenWidth);
    number("PH_SCREEN_HEIGHT", 1, 8192, screenHeight);
    scaleChosen = number("PH_SCALE", 1, 16, scale) || scaleChosen;
    number("PH_BITSPIXEL", 1, 32, bitsPerPixel);
    number("PH_LOGPIXELSY", 1, 1200, logPixelsY);
    number("PH_CPU_ID", 0, 0xFFFFFFFFll, cpuId, true);
    number("PH_ORIENTATION", 0, 0x7FFF, orientationAnswer);
    text("PH_PLATFORM_TYPE", platformType);
    if (lookup("PH_PLATFORM_TYPE") && platformType != u"PocketPC" && platformType != u"SmartPhone")
        warnings.push_back("PH_PLATFORM_TYPE: only \"PocketPC\" and \"SmartPhone\" are known; "
                           "the text is kept");
    text("PH_OEM_INFO", oemInfo);
    choice("PH_CLOCK", kClockModes, clock);
    choice("PH_WINDOW_BACKEND", kWindowModes, windowBackend);
    if (const char* v = lookup("PH_INSTANCE_NAMESPACE"); v && *v) {
        if (validNamespace(v))
            instanceNamespace = v;
        else
            warnings.push_back(std::string("PH_INSTANCE_NAMESPACE=\"") + v +
                               "\" ignored: expected up to 64 letters, digits, '.', '_' or '-', "
                               "not starting with '.'");
    }
    choice("PH_AUDIO", kAudioModes, audio);
    choice("PH_MESSAGE_BOXES", kMessageBoxModes, messageBoxes);
    choice("PH_MAPI", kMapiChoices, mapiAvailable);

    if (const char* dir = lookup("PH_DATA_DIR"); dir && *dir) {
        std::string folder(dir);
        while (folder.size() > 1 && folder.back() == '/')
            folder.pop_back();
        programFile = folder + "/pallasterhorn";
    }
    if (const char* file = lookup("PH_PROGRAM_FILE"); file && *file)
        programFile = file;
    if (!programFile.empty() && programFile.front() != '/') {
        warnings.push_back("program file \"" + programFile + "\" ignored: not an absolute path");
        programFile.clear();
    }

    // Set but empty is unset: a run meant to stay away from the player's records must not
    // fall back to them because a script cleared the variable.
    if (const char* reg = lookup("PH_REGISTRY"); reg && *reg) {
        registryPath = reg;
        registryGiven = true;
    } else if (registryPath.empty())
        registryPath = defaultRegistryPath(lookup);
    return warnings;
}

} // namespace platform

// The PH_* settings on arbitrary values: each input is lines of NAME=VALUE standing for the
// environment. Every setting ends either applied within its range or ignored with a warning,
// never out of range and never without a word.
#include "platform/DeviceProfile.h"

#include <cstdlib>
#include <map>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::map<std::string, std::string> environment;
    const std::string text(reinterpret_cast<const char*>(data), size);
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        const std::string line = text.substr(start, end - start);
        const size_t equals = line.find('=');
        // A variable's value ends at its first zero byte, as in a real environment.
        if (equals != std::string::npos)
            environment[line.substr(0, equals)] = line.substr(equals + 1).c_str();
        start = end + 1;
    }
    auto lookup = [&environment](const char* name) -> const char* {
        auto it = environment.find(name);
        return it == environment.end() ? nullptr : it->second.c_str();
    };

    platform::DeviceProfile profile;
    const platform::DeviceProfile defaults;
    const std::vector<std::string> warnings = profile.applyEnvironment(lookup);

    if (profile.screenWidth < 1 || profile.screenWidth > 8192 || profile.screenHeight < 1 ||
        profile.screenHeight > 8192 || profile.scale < 1 || profile.scale > 16 ||
        profile.bitsPerPixel < 1 || profile.bitsPerPixel > 32 || profile.logPixelsY < 1 ||
        profile.logPixelsY > 1200 || profile.orientationAnswer < 0)
        std::abort();
    if (!profile.programFile.empty() && profile.programFile.front() != '/')
        std::abort();
    const std::string& ns = profile.instanceNamespace;
    if (!ns.empty() && (ns.front() == '.' || ns.find('/') != std::string::npos || ns.size() > 64))
        std::abort();
    // Empty is unset; a given file is the whole text, never a fallback.
    const char* registry = lookup("PH_REGISTRY");
    if (profile.registryGiven != (registry && *registry) || profile.registryPath.empty() ||
        (profile.registryGiven && profile.registryPath != registry))
        std::abort();
    // A value that was not taken as it stands is warned about.
    const char* backend = lookup("PH_WINDOW_BACKEND");
    if (backend && std::string(backend) != "sdl" && std::string(backend) != "headless" &&
        std::string(backend) != "script" && warnings.empty())
        std::abort();
    if (!backend && profile.windowBackend != defaults.windowBackend)
        std::abort();
    return 0;
}

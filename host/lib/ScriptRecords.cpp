#include "ScriptRecords.h"

#include "OutputFile.h"

#include "platform/registry.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <fstream>
#include <sstream>

namespace host {

namespace {

// Beside the records; its name is one no output of a script may take.
std::string markOf(const std::string& registry)
{
    return registry + "-runner";
}

std::string identity(const struct stat& st)
{
    return "pallasterhorn scripted runner records " + std::to_string(st.st_dev) + " " +
           std::to_string(st.st_ino) + "\n";
}

bool present(const std::string& path)
{
    struct stat st
    {
    };
    return ::lstat(path.c_str(), &st) == 0 || errno != ENOENT;
}

} // namespace

bool freshRunnerRecords(const std::string& registry, std::string& problem)
{
    struct stat st
    {
    };
    const bool main = ::lstat(registry.c_str(), &st) == 0;
    if (!main && !present(registry + "-wal") && !present(registry + "-shm"))
        return true;
    std::ifstream in(markOf(registry), std::ios::binary);
    std::stringstream mark;
    mark << in.rdbuf();
    if (!main || !S_ISREG(st.st_mode) || mark.str() != identity(st)) {
        problem = "the output folder holds records the scripted runner did not make (" + registry +
                  "); they are left as they are: give PH_FRAMES a new folder, or PH_REGISTRY";
        return false;
    }
    for (const char* suffix : {"", "-wal", "-shm"}) {
        if (std::remove((registry + suffix).c_str()) != 0 && errno != ENOENT) {
            problem = "cannot remove the records of an earlier run, " + registry + suffix;
            return false;
        }
    }
    return true;
}

bool markRunnerRecords(const std::string& registry, std::string& problem)
{
    // Any call opens the records, which makes the file.
    DWORD subKeys = 0;
    RegQueryInfoKeyW(HKEY_CURRENT_USER, nullptr, nullptr, nullptr, &subKeys, nullptr, nullptr,
                     nullptr, nullptr, nullptr, nullptr, nullptr);
    struct stat st
    {
    };
    if (::lstat(registry.c_str(), &st) != 0 || !S_ISREG(st.st_mode))
        return true; // not made: the run goes on without records and says so
    OutputFile mark(markOf(registry));
    const std::string text = identity(st);
    if (!mark.get() || std::fwrite(text.data(), 1, text.size(), mark.get()) != text.size() ||
        !mark.commit()) {
        problem = "cannot write " + markOf(registry);
        return false;
    }
    return true;
}

} // namespace host

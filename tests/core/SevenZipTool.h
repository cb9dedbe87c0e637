// Builds 7z archives for tests and benchmarks with the system's 7z tool (Debian p7zip-full):
// the files are written into a staging folder and packed with the given switches.
#pragma once

#include <filesystem>
#include <fstream>
#include <map>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <vector>

extern char** environ;

namespace sevenzip {

// Method switches of the archive kinds the tests use.
inline std::vector<std::string> nonSolid(const std::string& method)
{
    return {"-m0=" + method, "-ms=off", "-mf=off"};
}
inline std::vector<std::string> solid(const std::string& method)
{
    return {"-m0=" + method, "-ms=on", "-mf=off"};
}

// Packs `files` (stored name -> bytes; a name ending in "/" is an empty folder) into `archive`,
// an absolute path, in the order of the map. Returns false when the tool fails or is missing.
inline bool pack(const std::string& archive, const std::map<std::string, std::string>& files,
                 const std::vector<std::string>& switches)
{
    namespace fs = std::filesystem;
    fs::path staging =
        fs::path(archive).parent_path() / (fs::path(archive).filename().string() + ".staging");
    fs::remove_all(staging);
    fs::create_directories(staging);
    std::vector<std::string> args = {"7z", "a", "-t7z", "-bd", "-bso0", "-bsp0", "-y"};
    args.insert(args.end(), switches.begin(), switches.end());
    args.push_back(archive);
    args.push_back("--");
    for (const auto& [name, bytes] : files) {
        fs::path full = staging / name;
        if (!name.empty() && name.back() == '/') {
            fs::create_directories(full);
        } else {
            fs::create_directories(full.parent_path());
            std::ofstream(full, std::ios::binary)
                .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        }
        args.push_back(name.back() == '/' ? name.substr(0, name.size() - 1) : name);
    }
    fs::remove(archive);
    std::vector<char*> argv;
    for (std::string& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addchdir_np(&actions, staging.c_str());
    pid_t pid = 0;
    int spawned = posix_spawnp(&pid, "7z", &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    int status = 0;
    bool ok = spawned == 0 && waitpid(pid, &status, 0) == pid && WIFEXITED(status) &&
              WEXITSTATUS(status) == 0;
    fs::remove_all(staging);
    return ok && fs::exists(archive);
}

} // namespace sevenzip

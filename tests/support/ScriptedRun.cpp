#include "ScriptedRun.h"

#include "TempFolder.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <vector>

extern char** environ;

namespace testsupport {

namespace {

// The test's environment with the run's own variables set over it.
std::vector<std::string> environmentWith(const std::map<std::string, std::string>& set)
{
    std::vector<std::string> out;
    for (char** e = environ; *e; ++e) {
        const std::string entry = *e;
        if (!set.count(entry.substr(0, entry.find('='))))
            out.push_back(entry);
    }
    for (const auto& [name, value] : set)
        out.push_back(name + "=" + value);
    return out;
}

} // namespace

pid_t startProgram(const std::string& program, const std::map<std::string, std::string>& env,
                   const std::string& logPath)
{
    // Everything the child needs is made before the fork.
    std::vector<std::string> entries = environmentWith(env);
    std::vector<char*> envp;
    for (std::string& e : entries)
        envp.push_back(e.data());
    envp.push_back(nullptr);
    std::string path = program;
    char* argv[] = {path.data(), nullptr};
    const pid_t child = fork();
    if (child == 0) {
        const int log = open(logPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
        const int none = open("/dev/null", O_RDONLY | O_CLOEXEC);
        if (log < 0 || none < 0 || dup2(none, 0) < 0 || dup2(log, 1) < 0 || dup2(log, 2) < 0)
            _exit(127);
        execve(program.c_str(), argv, envp.data());
        _exit(127);
    }
    return child;
}

ScriptedRun runScript(const std::string& program, const std::string& script,
                      const std::string& frames, const std::map<std::string, std::string>& env)
{
    std::map<std::string, std::string> vars = env;
    vars["PH_WINDOW_BACKEND"] = "script";
    vars["PH_SCRIPT"] = script;
    vars["PH_FRAMES"] = frames;
    const std::string logPath = frames + ".log";
    ScriptedRun run;
    const pid_t child = startProgram(program, vars, logPath);
    int status = 0;
    if (child > 0 && waitpid(child, &status, 0) == child && WIFEXITED(status))
        run.status = WEXITSTATUS(status);
    run.log = readFile(logPath);
    run.manifest = readFile(frames + "/manifest.txt");
    return run;
}

} // namespace testsupport

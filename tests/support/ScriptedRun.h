// The built program run on a script with the scripted window (no window, no sound, the fake
// clock), as a player's run would start it, for tests that check what the whole program does.
#pragma once

#include <map>
#include <string>
#include <sys/types.h>

namespace testsupport {

struct ScriptedRun
{
    // The exit status; -1 when the program did not exit by itself (a signal ended it).
    int status = -1;
    // Everything it wrote to its standard and error output.
    std::string log;
    // The outputs' manifest ("" when none was written).
    std::string manifest;
};

// Starts `program` without waiting for it, with `env` set over the test's environment, no input
// and its output in `logPath`; the child's process id, or -1.
pid_t startProgram(const std::string& program, const std::map<std::string, std::string>& env,
                   const std::string& logPath);

// Runs `program` on the script file with its outputs in the folder `frames` (its output goes to
// `frames` + ".log"). `env` sets further variables for the run (PH_DATA_DIR, PH_REGISTRY, the
// screen size ...); an empty value sets the variable empty.
ScriptedRun runScript(const std::string& program, const std::string& script,
                      const std::string& frames,
                      const std::map<std::string, std::string>& env = {});

} // namespace testsupport

// What a soak run found: how long it played, what it reached and what went wrong.
#pragma once

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace soak {

struct SoakFigures
{
    int64_t steps = 0;
    // Runs of the program: the first, and one more after every end, crash or hang.
    int runs = 0;
    // Runs the program ended by itself with a clean status (the player chose to quit).
    int exits = 0;
    int crashes = 0;
    int hangs = 0;
    // Steps spent on each screen, by class name.
    std::map<std::string, int64_t> screens;
    // Level numbers entered through the hidden level select (whatever screen took them).
    std::set<int> levels;
    // Levels each game was seen at.
    std::map<std::string, std::set<int>> gameLevels;
    int levelSelects = 0;
    int64_t keyEvents = 0;
    int64_t taps = 0;
    int deactivations = 0;
    // Resident memory in kB at the start, after the first simulated minute and at the end.
    long rssStartKb = 0;
    long rssWarmKb = 0;
    long rssEndKb = 0;
    // One line per crash or hang: the run, the step, the screen and what was seen.
    std::vector<std::string> faults;
};

// The figures as the report lines the tool prints.
std::string formatFigures(const SoakFigures& figures, uint64_t seed);
// The process's resident memory in kB (0 when it cannot be read).
long residentKb();

} // namespace soak

// The records of a scripted run given no PH_REGISTRY: a fresh file in the output folder, made by
// the runner and marked as its own, so that a later run starts afresh over it, and never over
// records the runner did not make (a player's, when the output folder is where the game keeps
// them).
#pragma once

#include <string>

namespace host {

// Removes the records a previous run of the runner left at `registry` (with its log and
// shared-memory files). False, with `problem` set and nothing removed, when a file there is not
// one the runner made.
bool freshRunnerRecords(const std::string& registry, std::string& problem);

// Makes the run's records file at `registry` (the profile's records path) and marks it as the
// runner's. False with `problem` set when the mark cannot be written.
bool markRunnerRecords(const std::string& registry, std::string& problem);

} // namespace host

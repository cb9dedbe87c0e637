// Plays a script against the main loop: steps the fake clock 25 ms per pass, queues the
// script's input on the headless window backend before each pass, and writes frames and
// records after it, listing each in a manifest.
#pragma once

#include "LoopHooks.h"
#include "Script.h"

#include "platform/testing/HeadlessBackend.h"

#include <string>
#include <vector>

namespace host {

class ScriptRunner : public LoopHooks
{
  public:
    static constexpr int kStepMillis = 25;

    // `folder` receives the outputs and the manifest; it must exist.
    ScriptRunner(Script script, std::string folder, platform::HeadlessBackend& backend);

    void beforePass(long pass) override;
    bool afterPass(long pass) override;

    // "manifest.txt" in the folder: one line per output, "<pass> <file> <fnv1a64>".
    bool writeManifest(std::string& problem) const;
    // Outputs that could not be written.
    const std::vector<std::string>& problems() const { return m_problems; }
    const std::vector<std::string>& manifest() const { return m_manifest; }
    // Commands the run ended before.
    size_t commandsLeft() const { return m_script.commands.size() - m_next; }

  private:
    void dump(const ScriptCommand& c);
    void records(const ScriptCommand& c);

    Script m_script;
    std::string m_folder;
    platform::HeadlessBackend& m_backend;
    size_t m_next = 0;
    bool m_pointerDown = false;
    std::vector<std::string> m_manifest;
    std::vector<std::string> m_problems;
};

} // namespace host

// Reading the scripted runner's script: a regular file of a sane size only, so that a device, a
// pipe or a folder named by mistake is refused with a reason instead of hanging the run or
// reading without end.
#pragma once

#include <cstddef>
#include <string>

namespace host {

// Far more than the longest script the runner can play through in a day of passes.
constexpr size_t kMaxScriptBytes = 16u << 20;

// The whole file in `text`; false with the reason in `problem`.
bool readScriptFile(const std::string& path, std::string& text, std::string& problem);

} // namespace host

// The modules every system has: coredll.dll and aygshell.dll.
#pragma once

#include "platform/modules/ModuleTable.h"

namespace platform {

std::vector<std::pair<std::string, ModuleExports>> builtinModules();

} // namespace platform

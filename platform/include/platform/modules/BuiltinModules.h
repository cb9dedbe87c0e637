// The modules every system has: coredll.dll and aygshell.dll.
#pragma once

#include "platform/modules/ModuleTable.h"

namespace platform {

std::vector<std::pair<std::string, ModuleExports>> builtinModules();

// The flag the built-in AllKeys keeps (its last argument, FALSE at start), for tests.
BOOL allKeysState();
void resetAllKeysState();

} // namespace platform

// The in-process modules behind LoadLibraryW: each has an export table and a present flag.
// Built-in modules (coredll, aygshell) are present; simulations of device libraries register
// themselves absent or present as a test wants.
#pragma once

#include "platform/modules.h"

#include <string>
#include <utility>
#include <vector>

namespace platform {

using ModuleExports = std::vector<std::pair<std::string, FARPROC>>;

template <class F> FARPROC exportOf(F* function)
{
    return reinterpret_cast<FARPROC>(function);
}

class ModuleTable
{
  public:
    // Adds or replaces a module; `name` is the file name, e.g. "gx.dll".
    static void define(const std::string& name, ModuleExports exports, bool present);
    static void setPresent(const std::string& name, bool present);
    static bool isPresent(const std::string& name);
    // Leaves one export out, as an older version of the library would.
    static void removeExport(const std::string& name, const std::string& exportName);
    // Loads not yet matched by FreeLibrary.
    static int loadCount(const std::string& name);
    // Back to a fresh process: the built-in modules present with all their exports, every
    // other module absent and empty, no loads counted. Modules are kept, so that a handle
    // still held stays valid (and finds nothing to call).
    static void reset();
};

} // namespace platform

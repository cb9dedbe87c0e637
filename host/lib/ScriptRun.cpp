#include "ScriptRun.h"

#include "RunEngine.h"

namespace host {

int runScript(HINSTANCE instance, const char16_t* commandLine)
{
    return runProgram(instance, commandLine, nullptr);
}

} // namespace host

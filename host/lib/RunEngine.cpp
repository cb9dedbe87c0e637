#include "RunEngine.h"

#include "CommandLine.h"
#include "ErrorBox.h"
#include "GameEngine.h"

#include "lang/DExceptionBase.h"
#include "platform/modules.h"
#include "platform/registry.h"
#include "platform/sysinfo.h"

#include <memory>

namespace host {

int runEngine(HINSTANCE instance, int width, int height, LoopHooks* hooks)
{
    try {
        auto engine = std::make_unique<CGameEngine>();
        engine->setLoopHooks(hooks);
        return engine->run(instance, width, height);
    } catch (qev::lang::DExceptionBase* e) {
        std::u16string text = unhandledExceptionText("Run", *e, true);
        delete e;
        showError(text);
    } catch (...) {
        showError(u"Run - unknown exception!");
    }
    return kRunFailed;
}

int runProgram(HINSTANCE instance, const char16_t* commandLine, LoopHooks* hooks)
{
    HMODULE aygshell = LoadLibraryW(u"aygshell.dll");
    if (aygshell) {
        CGameEngine::shFullScreen() =
            reinterpret_cast<SHFullScreenProc>(GetProcAddressW(aygshell, u"SHFullScreen"));
        CGameEngine::shSetImeMode() =
            reinterpret_cast<SHSetImeModeProc>(GetProcAddressW(aygshell, u"SHSetImeMode"));
    }
    CommandLine switches = CommandLine::parse(commandLine);
    int width = 0, height = 0;
    switches.displaySize(GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN), width,
                         height);
    const int status = runEngine(instance, width, height, hooks);
    // Records are closed in order at every end, so that the main database file holds them all.
    platform::Registry::shutdown();
    CGameEngine::shFullScreen() = nullptr;
    CGameEngine::shSetImeMode() = nullptr;
    if (aygshell)
        FreeLibrary(aygshell);
    return status;
}

} // namespace host

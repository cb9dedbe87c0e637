#include "ScriptRunner.h"

#include "GameEngine.h"
#include "OutputFile.h"
#include "ScriptOutput.h"

#include "lang/DExceptionBase.h"
#include "platform/testing/FakeClock.h"
#include "platform/window/WindowSystem.h"

#include <cstdio>
#include <memory>

namespace host {

ScriptRunner::ScriptRunner(Script script, std::string folder, platform::HeadlessBackend& backend)
    : m_script(std::move(script)), m_folder(std::move(folder)), m_backend(backend)
{
}

void ScriptRunner::beforePass(long pass)
{
    if (pass > 0)
        platform::FakeClock::step(kStepMillis);
    CGameEngine* engine = CGameEngine::instance();
    HWND window = engine ? engine->window() : nullptr;
    using Kind = ScriptCommand::Kind;
    using Event = platform::NativeEvent;
    // Input and stalls of this pass; the after-pass commands of the pass wait in their place.
    for (size_t i = m_next; i < m_script.commands.size() && m_script.commands[i].pass == pass;
         ++i) {
        const ScriptCommand& c = m_script.commands[i];
        Event e;
        e.window = window;
        switch (c.kind) {
        case Kind::KeyDown:
        case Kind::KeyUp:
        case Kind::KeyRepeat:
            m_backend.injectKey(window, static_cast<UINT>(c.key), c.kind != Kind::KeyUp,
                                c.kind == Kind::KeyRepeat);
            break;
        case Kind::PointerDown:
        case Kind::PointerMove:
        case Kind::PointerUp:
            if (c.kind != Kind::PointerMove)
                m_pointerDown = c.kind == Kind::PointerDown;
            m_backend.injectMouse(window,
                                  c.kind == Kind::PointerDown   ? Event::Kind::MouseDown
                                  : c.kind == Kind::PointerMove ? Event::Kind::MouseMove
                                                                : Event::Kind::MouseUp,
                                  c.x, c.y, m_pointerDown);
            break;
        case Kind::Activate:
        case Kind::Deactivate:
            e.kind = c.kind == Kind::Activate ? Event::Kind::Activate : Event::Kind::Deactivate;
            m_backend.inject(e);
            break;
        case Kind::Stall:
            platform::FakeClock::step(c.millis);
            break;
        default:
            break;
        }
    }
}

bool ScriptRunner::afterPass(long pass)
{
    bool keepGoing = pass < m_script.lastPass();
    for (; m_next < m_script.commands.size() && m_script.commands[m_next].pass == pass; ++m_next) {
        const ScriptCommand& c = m_script.commands[m_next];
        if (c.kind == ScriptCommand::Kind::Dump)
            dump(c);
        else if (c.kind == ScriptCommand::Kind::Records)
            records(c);
        else if (c.kind == ScriptCommand::Kind::End)
            keepGoing = false;
    }
    return keepGoing;
}

void ScriptRunner::dump(const ScriptCommand& c)
{
    CGameEngine* engine = CGameEngine::instance();
    HWND window = engine ? engine->window() : nullptr;
    const std::vector<uint16_t>* store = platform::WindowSystem::backingStore(window);
    RECT client{};
    if (!store || !GetClientRect(window, &client)) {
        m_problems.push_back(c.name + ": no window to take the frame from");
        return;
    }
    std::string problem;
    if (!writeFramePng(m_folder + "/" + c.name, store->data(), client.right, client.bottom,
                       problem)) {
        m_problems.push_back(problem);
        return;
    }
    // The hash is of the pixels, so it does not depend on the PNG encoder's version.
    m_manifest.push_back(std::to_string(c.pass) + " " + c.name + " " +
                         fnv1a64(store->data(), store->size() * sizeof(uint16_t)));
}

void ScriptRunner::records(const ScriptCommand& c)
{
    std::u16string name = u"null";
    try {
        qev::lang::DStringPtr app = CGameEngine::getAppProperty(u"app.name");
        if (app)
            name.assign(app->chars(), app->chars() + app->length());
    } catch (qev::lang::DExceptionBase* e) {
        delete e; // no application: the stores a nameless one would use
    }
    const std::string text = recordStoresText(name);
    const std::string path = m_folder + "/" + c.name;
    OutputFile file(path);
    if (!file.get() || std::fwrite(text.data(), 1, text.size(), file.get()) != text.size() ||
        !file.commit()) {
        m_problems.push_back("cannot write " + path);
        return;
    }
    m_manifest.push_back(std::to_string(c.pass) + " " + c.name + " " +
                         fnv1a64(text.data(), text.size()));
}

bool ScriptRunner::writeManifest(std::string& problem) const
{
    const std::string path = m_folder + "/manifest.txt";
    OutputFile file(path);
    bool ok = file.get() != nullptr;
    for (const std::string& line : m_manifest)
        ok = ok && std::fprintf(file.get(), "%s\n", line.c_str()) > 0;
    ok = ok && file.commit();
    if (!ok)
        problem = "cannot write " + path;
    return ok;
}

} // namespace host

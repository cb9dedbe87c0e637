#include "platform/modules/ModuleTable.h"

#include "platform/modules/BuiltinModules.h"

#include <algorithm>
#include <map>
#include <memory>
#include <mutex>

namespace platform {

namespace {

struct Module
{
    std::string name;
    ModuleExports exports;
    bool present = false;
    int loads = 0;
};

struct Table
{
    std::mutex lock;
    std::map<std::string, std::unique_ptr<Module>> modules;
    bool builtinsDone = false;
};

std::string lower(std::string s)
{
    std::transform(s.begin(), s.end(), s.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return s;
}

// "\Windows\GX.DLL" and "gx" both name "gx.dll".
std::string key(const std::string& name)
{
    std::string s = lower(name);
    size_t slash = s.find_last_of("\\/");
    if (slash != std::string::npos)
        s = s.substr(slash + 1);
    if (s.size() < 4 || s.compare(s.size() - 4, 4, ".dll") != 0)
        s += ".dll";
    return s;
}

Table& table()
{
    static Table* t = new Table;
    return *t;
}

Module* lookup(Table& t, const std::string& name)
{
    if (!t.builtinsDone) {
        t.builtinsDone = true;
        for (auto& [n, exports] : builtinModules()) {
            auto m = std::make_unique<Module>();
            m->name = key(n);
            m->exports = exports;
            m->present = true;
            t.modules.emplace(m->name, std::move(m));
        }
    }
    auto it = t.modules.find(key(name));
    return it == t.modules.end() ? nullptr : it->second.get();
}

std::string narrow(LPCWSTR text)
{
    std::string s;
    for (; text && *text; ++text)
        s += *text < 0x80 ? static_cast<char>(*text) : '?';
    return s;
}

} // namespace

void ModuleTable::define(const std::string& name, ModuleExports exports, bool present)
{
    Table& t = table();
    std::lock_guard<std::mutex> g(t.lock);
    Module* m = lookup(t, name);
    if (!m) {
        auto made = std::make_unique<Module>();
        made->name = key(name);
        m = made.get();
        t.modules.emplace(made->name, std::move(made));
    }
    m->exports = std::move(exports);
    m->present = present;
}

void ModuleTable::setPresent(const std::string& name, bool present)
{
    Table& t = table();
    std::lock_guard<std::mutex> g(t.lock);
    if (Module* m = lookup(t, name))
        m->present = present;
}

bool ModuleTable::isPresent(const std::string& name)
{
    Table& t = table();
    std::lock_guard<std::mutex> g(t.lock);
    Module* m = lookup(t, name);
    return m && m->present;
}

void ModuleTable::reset()
{
    Table& t = table();
    std::lock_guard<std::mutex> g(t.lock);
    for (auto& [name, m] : t.modules) {
        m->exports.clear();
        m->present = false;
        m->loads = 0;
    }
    for (auto& [n, exports] : builtinModules()) {
        auto& m = t.modules[key(n)];
        if (!m) {
            m = std::make_unique<Module>();
            m->name = key(n);
        }
        m->exports = exports;
        m->present = true;
    }
    t.builtinsDone = true;
}

void ModuleTable::removeExport(const std::string& name, const std::string& exportName)
{
    Table& t = table();
    std::lock_guard<std::mutex> g(t.lock);
    if (Module* m = lookup(t, name))
        std::erase_if(m->exports, [&](const auto& e) { return e.first == exportName; });
}

int ModuleTable::loadCount(const std::string& name)
{
    Table& t = table();
    std::lock_guard<std::mutex> g(t.lock);
    Module* m = lookup(t, name);
    return m ? m->loads : 0;
}

} // namespace platform

using namespace platform;

HMODULE LoadLibraryW(LPCWSTR name)
{
    Table& t = table();
    std::lock_guard<std::mutex> g(t.lock);
    Module* m = name ? lookup(t, narrow(name)) : nullptr;
    if (!m || !m->present) {
        SetLastError(ERROR_MOD_NOT_FOUND);
        return nullptr;
    }
    ++m->loads;
    return reinterpret_cast<HMODULE>(m);
}

namespace {
Module* loaded(Table& t, HMODULE module)
{
    for (auto& [n, m] : t.modules)
        if (reinterpret_cast<HMODULE>(m.get()) == module)
            return m->loads > 0 ? m.get() : nullptr;
    return nullptr;
}
} // namespace

FARPROC GetProcAddressW(HMODULE module, LPCWSTR name)
{
    Table& t = table();
    std::lock_guard<std::mutex> g(t.lock);
    Module* m = loaded(t, module);
    if (!m) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    std::string wanted = narrow(name);
    for (auto& [n, f] : m->exports)
        if (n == wanted)
            return f;
    SetLastError(ERROR_PROC_NOT_FOUND);
    return nullptr;
}

BOOL FreeLibrary(HMODULE module)
{
    Table& t = table();
    std::lock_guard<std::mutex> g(t.lock);
    Module* m = loaded(t, module);
    if (!m) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    --m->loads;
    return TRUE;
}

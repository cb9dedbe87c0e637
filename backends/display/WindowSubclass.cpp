#include "display/WindowSubclass.h"

#include "display/Display.h"

namespace ScreenHAL {

namespace {

struct Entry
{
    HWND window;
    WNDPROC previous;
    Display* display;
};

struct Table
{
    Entry entries[WindowSubclass::kCapacity];
    int count = 0;
};

Table& table()
{
    static Table t;
    return t;
}

Entry* find(HWND window)
{
    Table& t = table();
    for (int i = 0; i < t.count; ++i)
        if (t.entries[i].window == window)
            return &t.entries[i];
    return nullptr;
}

} // namespace

bool WindowSubclass::Add(HWND window, Display* display)
{
    Table& t = table();
    if (t.count >= kCapacity || find(window))
        return false;
    LONG_PTR previous =
        SetWindowLongW(window, GWL_WNDPROC, reinterpret_cast<LONG_PTR>(&WindowSubclass::Procedure));
    if (!previous)
        return false;
    t.entries[t.count++] = Entry{window, reinterpret_cast<WNDPROC>(previous), display};
    return true;
}

void WindowSubclass::Remove(HWND window, const Display* owner)
{
    Table& t = table();
    Entry* e = find(window);
    if (!e || (owner && e->display != owner))
        return;
    SetWindowLongW(window, GWL_WNDPROC, reinterpret_cast<LONG_PTR>(e->previous));
    *e = t.entries[t.count - 1];
    --t.count;
}

int WindowSubclass::count()
{
    return table().count;
}

LRESULT WindowSubclass::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    Entry* e = find(window);
    if (!e)
        return DefWindowProcW(window, message, wParam, lParam);
    // Removing the entry moves another into its slot: take what we need first.
    WNDPROC previous = e->previous;
    Display* display = e->display;
    switch (message) {
    case WM_DESTROY:
        Remove(window);
        break;
    case WM_ACTIVATE:
        if (LOWORD(wParam) != WA_INACTIVE)
            display->Resume();
        else
            display->Suspend();
        break;
    case WM_PAINT:
        display->Refresh();
        break;
    default:
        break;
    }
    return previous(window, message, wParam, lParam);
}

} // namespace ScreenHAL

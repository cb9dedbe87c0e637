// The program's WinMain. The host takes over here once the application host exists; until then
// the program starts and ends cleanly.
#include "platform/entry.h"

#include <cstdio>

int WinMain(HINSTANCE, HINSTANCE, LPWSTR, int)
{
    std::puts("Pallasterhorn");
    return 0;
}

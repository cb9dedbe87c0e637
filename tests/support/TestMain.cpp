// Entry of every test program: headless SDL drivers unless the caller chose others, and the
// sanitizer defaults for system libraries that keep process-lifetime caches.
#include <gtest/gtest.h>

#include <cstdlib>

extern "C" const char* __lsan_default_suppressions()
{
    return "leak:libfontconfig.so\n"
           "leak:libSDL2\n"
           "leak:libdbus\n"
           "leak:libX11\n";
}

int main(int argc, char** argv)
{
    setenv("SDL_VIDEODRIVER", "offscreen", 0);
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}

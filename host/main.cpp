// Program entry. The host takes over here once the application host exists; until then the
// program starts and ends cleanly.
#include <cstdio>

int main(int argc, char** argv)
{
    (void)argc;
    (void)argv;
    std::puts("Pallasterhorn");
    return 0;
}

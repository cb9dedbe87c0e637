// The program: the platform's entry calls the host's WinMain, and the host runs the MIDlet that
// the game library's createMIDlet makes. Naming createMIDlet here ties the three together at link
// time, whatever the order in which the linker meets the libraries.
#include "CreateMIDlet.h"

[[maybe_unused]] static auto* const application = &createMIDlet;

// The application's MIDlet. The host declares it; the application (the game library, or a test)
// defines it, so which application runs is decided when the program is linked.
#pragma once

#include "microedition/midlet/DMIDlet.h"

qev::microedition::midlet::DMIDletPtr createMIDlet();

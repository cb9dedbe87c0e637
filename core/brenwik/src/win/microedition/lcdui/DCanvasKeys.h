// The default key table of canvases and the names of key codes.
#pragma once

#include "lang/DString.h"

#include <cstdint>
#include <span>

namespace qev::microedition::lcdui {

struct KeyAction
{
    int32_t key;
    int32_t action;
};

// The 23 default pairs, in the order they are consulted.
std::span<const KeyAction> defaultKeyActions();
// A readable name of a virtual key or handheld key code; "KEY " and the number otherwise.
qev::lang::DStringPtr keyName(int32_t keyCode);

} // namespace qev::microedition::lcdui

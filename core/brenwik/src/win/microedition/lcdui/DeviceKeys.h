// The codes the host gives the handheld's own keys: the soft keys, the action key and the # and
// * keys. Every other key reaches the canvases as its virtual-key code.
#pragma once

#include <cstdint>

namespace qev::microedition::lcdui {

constexpr int32_t kKeySoftLeft = 10000;  // "Soft L"
constexpr int32_t kKeySoftRight = 10001; // "Soft R"
constexpr int32_t kKeyAction = 10002;    // "Action"
constexpr int32_t kKeyHash = 10003;      // "#"
constexpr int32_t kKeyStar = 10004;      // "*"

} // namespace qev::microedition::lcdui

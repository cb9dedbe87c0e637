// The handheld's keys folded into the device-independent codes the canvases see: the soft keys,
// the action key and the star and hash keys become the device's key codes
// (microedition/lcdui/DeviceKeys.h); every other virtual key passes unchanged. Smartphones and
// Pocket PCs name these keys differently.
#pragma once

#include <cstdint>
#include <optional>

namespace host {

// The code a canvas receives for a virtual key, or nothing for a key that produces no event.
// Press, repeat and release of one key all translate alike.
std::optional<int32_t> translateKey(uint32_t virtualKey, bool smartphone);

} // namespace host

// The handheld's keys folded into the device-independent codes the canvases see: the soft keys,
// the action key and the star and hash keys become 10000 to 10004; every other virtual key
// passes unchanged. Smartphones and Pocket PCs name these keys differently.
#pragma once

#include <cstdint>
#include <optional>

namespace host {

constexpr int32_t kKeySoftLeft = 10000;
constexpr int32_t kKeySoftRight = 10001;
constexpr int32_t kKeyAction = 10002;
constexpr int32_t kKeyHash = 10003;
constexpr int32_t kKeyStar = 10004;

// The code a canvas receives for a virtual key, or nothing for a key that produces no event.
// Press, repeat and release of one key all translate alike.
std::optional<int32_t> translateKey(uint32_t virtualKey, bool smartphone);

} // namespace host

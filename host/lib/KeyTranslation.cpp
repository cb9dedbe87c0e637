#include "KeyTranslation.h"

#include "microedition/lcdui/DeviceKeys.h"
#include "platform/windows.h"

namespace host {

namespace {

using namespace qev::microedition::lcdui;

std::optional<int32_t> smartphoneKey(uint32_t vk)
{
    switch (vk) {
    case VK_RETURN:
        return kKeyAction;
    case VK_ESCAPE:
        return kKeySoftRight;
    case VK_F1:
        return kKeySoftLeft;
    case VK_F1 + 1: // F2, the right soft key
        return kKeySoftRight;
    case VK_F1 + 2: // F3 and F4: the phone's call and end keys
    case VK_F1 + 3:
        return std::nullopt;
    case VK_F1 + 7: // F8
        return kKeyStar;
    case VK_F1 + 8: // F9
        return kKeyHash;
    default:
        return static_cast<int32_t>(vk);
    }
}

std::optional<int32_t> pocketPcKey(uint32_t vk)
{
    // F13 to F24 and the Windows key are the shell's own buttons.
    if ((vk >= VK_F1 + 12 && vk <= VK_F24) || vk == VK_LWIN)
        return std::nullopt;
    switch (vk) {
    case VK_APP1:
        return kKeySoftLeft;
    case VK_APP2:
        return kKeyStar;
    case VK_APP3:
        return kKeyHash;
    case VK_APP4:
        return kKeySoftRight;
    case VK_F1:
        return kKeySoftLeft;
    case VK_F1 + 1:
        return kKeySoftRight;
    case VK_RETURN:
        return kKeyAction;
    case VK_ESCAPE:
        return kKeySoftRight;
    default:
        return static_cast<int32_t>(vk);
    }
}

} // namespace

std::optional<int32_t> translateKey(uint32_t virtualKey, bool smartphone)
{
    return smartphone ? smartphoneKey(virtualKey) : pocketPcKey(virtualKey);
}

} // namespace host

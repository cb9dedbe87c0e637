#include "microedition/lcdui/DCanvasKeys.h"

#include "microedition/lcdui/DeviceKeys.h"

namespace qev::microedition::lcdui {

namespace {

// Consulted in this order: the digits, then the handheld keys and left/right, then the rest.
// clang-format off
constexpr KeyAction kDefaults[] = {
    {'1', 5}, {'2', 0}, {'3', 6}, {'4', 2}, {'5', 4}, {'6', 3}, {'8', 1}, {'7', 7}, {'9', 8},
    {kKeyHash, 12}, {kKeyStar, 11}, {kKeySoftLeft, 9}, {kKeySoftRight, 10}, {kKeyAction, 4},
    {37, 2}, {39, 3},
    {38, 0}, {40, 1}, {-4, 13}, {13, 4}, {10, 4}, {-2, 14}, {-3, 15},
};
// clang-format on

struct Named
{
    int32_t code;
    const char16_t* name;
};

constexpr Named kNames[] = {
    {8, u"Backspace"},
    {9, u"Tab"},
    {12, u"Clear"},
    {13, u"Enter"},
    {16, u"Shift"},
    {17, u"Ctrl"},
    {18, u"Alt"},
    {19, u"Pause"},
    {20, u"Caps Lock"},
    {27, u"Esc"},
    {32, u"Spacebar"},
    {33, u"Page Up"},
    {34, u"Page Down"},
    {35, u"End"},
    {36, u"Home"},
    {37, u"Left"},
    {38, u"Up"},
    {39, u"Right"},
    {40, u"Down"},
    {45, u"Insert"},
    {46, u"Delete"},
    {91, u"Win L"},
    {92, u"Win R"},
    {93, u"App"},
    {106, u"Num*"},
    {107, u"Num+"},
    {109, u"Num-"},
    {110, u"Num."},
    {111, u"Num/"},
    {144, u"Num Lock"},
    {145, u"Scroll Lock"},
    {kKeySoftLeft, u"Soft L"},
    {kKeySoftRight, u"Soft R"},
    {kKeyAction, u"Action"},
    {kKeyHash, u"#"},
    {kKeyStar, u"*"},
};

} // namespace

std::span<const KeyAction> defaultKeyActions()
{
    return kDefaults;
}

qev::lang::DStringPtr keyName(int32_t code)
{
    using qev::lang::DStringPtr;
    for (const Named& n : kNames)
        if (n.code == code)
            return DStringPtr(n.name);
    if ((code >= '0' && code <= '9') || (code >= 'A' && code <= 'Z')) {
        const char16_t text[2] = {static_cast<char16_t>(code), 0};
        return DStringPtr(text);
    }
    if (code >= 96 && code <= 105)
        return DStringPtr(u"Numpad") + (code - 96);
    if (code >= 112 && code <= 123)
        return DStringPtr(u"F") + (code - 111);
    return DStringPtr(u"KEY ") + code;
}

} // namespace qev::microedition::lcdui

// The two translation tables, key by key.
#include "KeyTranslation.h"

#include "microedition/lcdui/DeviceKeys.h"

#include <gtest/gtest.h>

#include <optional>

using qev::microedition::lcdui::kKeyAction;
using qev::microedition::lcdui::kKeyHash;
using qev::microedition::lcdui::kKeySoftLeft;
using qev::microedition::lcdui::kKeySoftRight;
using qev::microedition::lcdui::kKeyStar;

namespace {

using host::translateKey;

TEST(KeyTranslation, Smartphone)
{
    EXPECT_EQ(translateKey(13, true), kKeyAction);
    EXPECT_EQ(translateKey(27, true), kKeySoftRight);
    EXPECT_EQ(translateKey(112, true), kKeySoftLeft);
    EXPECT_EQ(translateKey(113, true), kKeySoftRight);
    EXPECT_EQ(translateKey(114, true), std::nullopt);
    EXPECT_EQ(translateKey(115, true), std::nullopt);
    EXPECT_EQ(translateKey(119, true), kKeyStar);
    EXPECT_EQ(translateKey(120, true), kKeyHash);
    for (uint32_t vk :
         {116u, 117u, 118u, 37u, 38u, 39u, 40u, 48u, 57u, 65u, 91u, 193u, 196u, 124u, 135u})
        EXPECT_EQ(translateKey(vk, true), static_cast<int32_t>(vk)) << vk;
}

TEST(KeyTranslation, PocketPc)
{
    for (uint32_t vk = 124; vk <= 135; ++vk)
        EXPECT_EQ(translateKey(vk, false), std::nullopt) << vk;
    EXPECT_EQ(translateKey(91, false), std::nullopt);
    EXPECT_EQ(translateKey(193, false), kKeySoftLeft);
    EXPECT_EQ(translateKey(194, false), kKeyStar);
    EXPECT_EQ(translateKey(195, false), kKeyHash);
    EXPECT_EQ(translateKey(196, false), kKeySoftRight);
    EXPECT_EQ(translateKey(112, false), kKeySoftLeft);
    EXPECT_EQ(translateKey(113, false), kKeySoftRight);
    EXPECT_EQ(translateKey(13, false), kKeyAction);
    EXPECT_EQ(translateKey(27, false), kKeySoftRight);
    for (uint32_t vk : {37u, 38u, 39u, 40u, 48u, 53u, 57u, 65u, 90u, 92u, 114u, 115u, 119u, 120u,
                        123u, 136u, 197u, 198u})
        EXPECT_EQ(translateKey(vk, false), static_cast<int32_t>(vk)) << vk;
}

TEST(KeyTranslation, BackAndRightSoftKeyAgreeOnBothFamilies)
{
    for (bool phone : {false, true}) {
        EXPECT_EQ(translateKey(27, phone), kKeySoftRight);
        EXPECT_EQ(translateKey(113, phone), kKeySoftRight);
    }
    EXPECT_EQ(translateKey(196, false), kKeySoftRight);
}

} // namespace

// The two translation tables, key by key.
#include "KeyTranslation.h"

#include <gtest/gtest.h>

#include <optional>

namespace {

using host::translateKey;

TEST(KeyTranslation, Smartphone)
{
    EXPECT_EQ(translateKey(13, true), 10002);
    EXPECT_EQ(translateKey(27, true), 10001);
    EXPECT_EQ(translateKey(112, true), 10000);
    EXPECT_EQ(translateKey(113, true), 10001);
    EXPECT_EQ(translateKey(114, true), std::nullopt);
    EXPECT_EQ(translateKey(115, true), std::nullopt);
    EXPECT_EQ(translateKey(119, true), 10004);
    EXPECT_EQ(translateKey(120, true), 10003);
    for (uint32_t vk :
         {116u, 117u, 118u, 37u, 38u, 39u, 40u, 48u, 57u, 65u, 91u, 193u, 196u, 124u, 135u})
        EXPECT_EQ(translateKey(vk, true), static_cast<int32_t>(vk)) << vk;
}

TEST(KeyTranslation, PocketPc)
{
    for (uint32_t vk = 124; vk <= 135; ++vk)
        EXPECT_EQ(translateKey(vk, false), std::nullopt) << vk;
    EXPECT_EQ(translateKey(91, false), std::nullopt);
    EXPECT_EQ(translateKey(193, false), 10000);
    EXPECT_EQ(translateKey(194, false), 10004);
    EXPECT_EQ(translateKey(195, false), 10003);
    EXPECT_EQ(translateKey(196, false), 10001);
    EXPECT_EQ(translateKey(112, false), 10000);
    EXPECT_EQ(translateKey(113, false), 10001);
    EXPECT_EQ(translateKey(13, false), 10002);
    EXPECT_EQ(translateKey(27, false), 10001);
    for (uint32_t vk : {37u, 38u, 39u, 40u, 48u, 53u, 57u, 65u, 90u, 92u, 114u, 115u, 119u, 120u,
                        123u, 136u, 197u, 198u})
        EXPECT_EQ(translateKey(vk, false), static_cast<int32_t>(vk)) << vk;
}

TEST(KeyTranslation, BackAndRightSoftKeyAgreeOnBothFamilies)
{
    for (bool phone : {false, true}) {
        EXPECT_EQ(translateKey(27, phone), 10001);
        EXPECT_EQ(translateKey(113, phone), 10001);
    }
    EXPECT_EQ(translateKey(196, false), 10001);
}

} // namespace

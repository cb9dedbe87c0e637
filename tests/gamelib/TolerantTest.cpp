// gamelib::tolerant: a failure of the Exception family is swallowed and gives the empty value;
// anything else goes on to the caller.
#include "gamelib/GameLib.h"

#include "lang/DExceptionBase.h"
#include "lang/DString.h"

#include <gtest/gtest.h>

namespace {

namespace code = qev::lang::ExceptionCode;
using qev::lang::DStringPtr;

TEST(Tolerant, GivesTheStepsResultOrTheEmptyValueAfterADataFailure)
{
    EXPECT_TRUE(gamelib::tolerant([] { return DStringPtr(u"read"); })->equals(u"read"));
    EXPECT_FALSE(
        gamelib::tolerant([]() -> DStringPtr { qev::lang::throwException(code::EOFException); }));
    int ran = 0;
    EXPECT_TRUE(gamelib::tolerant([&] { ++ran; }));
    EXPECT_FALSE(gamelib::tolerant([&] {
        ++ran;
        qev::lang::throwException(code::MediaException);
    }));
    EXPECT_EQ(2, ran);
}

TEST(Tolerant, AnythingButAnExceptionGoesOnToTheCaller)
{
    auto* error = new qev::lang::DExceptionBase{};
    error->code = 0x1000000; // outside the Exception family
    int32_t thrown = 0;
    try {
        gamelib::tolerant([&] { throw error; });
    } catch (qev::lang::DExceptionBase* e) {
        thrown = e->code;
        delete e;
    }
    EXPECT_EQ(0x1000000, thrown);
}

} // namespace

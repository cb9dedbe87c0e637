#include "CoreTestSupport.h"
#include "lang/DInteger.h"

#include <string>

using namespace qev::lang;

namespace {
std::u16string text(const DStringPtr& s)
{
    return s->chars();
}
int32_t parse(const char16_t* s, int radix = 10)
{
    return DInteger::parseInt(DStringPtr(s), radix);
}
} // namespace

TEST(IntegerText, DecimalAndHexadecimal)
{
    EXPECT_EQ(u"0", text(DInteger::toString(0)));
    EXPECT_EQ(u"-2147483648", text(DInteger::toString(INT32_MIN)));
    EXPECT_EQ(u"ff", text(DInteger::toString(255, 16)));
    EXPECT_EQ(u"-ff", text(DInteger::toString(-255, 16)));
    EXPECT_EQ(u"-80000000", text(DInteger::toHexString(INT32_MIN)));
    EXPECT_EQ(u"7fffffff", text(DInteger::toHexString(INT32_MAX)));
    EXPECT_EQ(u"", text(DInteger::toString(255, 8)));
    EXPECT_EQ(u"255", text(DInteger::toString(255, 10)));
    DIntegerPtr boxed(new DInteger(-12));
    EXPECT_EQ(u"-12", text(boxed->toString()));
    EXPECT_EQ(-12, boxed->hashCode());
    EXPECT_STREQ("DInteger", boxed->getClassName());
}

TEST(IntegerParse, ReadsLikeTheCLibraryConversion)
{
    EXPECT_EQ(42, parse(u" 42abc"));
    EXPECT_EQ(-7, parse(u"\t-7"));
    EXPECT_EQ(7, parse(u"+7"));
    EXPECT_EQ(2147483647, parse(u"2147483647"));
    EXPECT_EQ(INT32_MIN, parse(u"-2147483648"));
    EXPECT_EQ(255, parse(u"ff", 16));
    EXPECT_EQ(255, parse(u"0xFF", 16));
    EXPECT_EQ(-1, parse(u"ffffffff", 16)); // stored as the 32-bit pattern
    EXPECT_EQ(-255, parse(u"-ff", 16));
    EXPECT_EQ(0, parse(u"0x", 16)); // the 0 is read, the x is trailing text
}

TEST(IntegerParse, RejectsTextWithoutANumber)
{
    EXPECT_THROWS_CODE(ExceptionCode::NumberFormatException, parse(u"abc"));
    EXPECT_THROWS_CODE(ExceptionCode::NumberFormatException, parse(u""));
    EXPECT_THROWS_CODE(ExceptionCode::NumberFormatException, parse(u"-"));
    EXPECT_THROWS_CODE(ExceptionCode::NumberFormatException, parse(u"zz", 16));
    EXPECT_THROWS_CODE(ExceptionCode::NumberFormatException, parse(u"12", 8));
    EXPECT_THROWS_CODE(ExceptionCode::NullPointerException, DInteger::parseInt(DStringPtr()));
}

TEST(IntegerParse, RejectsValuesThatDoNotFit)
{
    EXPECT_THROWS_CODE(ExceptionCode::NumberFormatException, parse(u"2147483648"));
    EXPECT_THROWS_CODE(ExceptionCode::NumberFormatException, parse(u"-2147483649"));
    EXPECT_THROWS_CODE(ExceptionCode::NumberFormatException, parse(u"99999999999999999999"));
    EXPECT_THROWS_CODE(ExceptionCode::NumberFormatException, parse(u"100000000", 16));
}

TEST(IntegerBoxing, ValueOfAndEquals)
{
    EXPECT_EQ(0, DInteger::valueOf(DStringPtr())->intValue());
    EXPECT_EQ(31, DInteger::valueOf(DStringPtr(u"31"))->intValue());
    DIntegerPtr a(new DInteger(5));
    EXPECT_TRUE(a->equals(DObjectPtr(new DInteger(5))));
    EXPECT_FALSE(a->equals(DObjectPtr(new DInteger(6))));
    EXPECT_FALSE(a->equals(DObjectPtr(DStringPtr(u"5")))); // another class never matches
    EXPECT_THROWS_CODE(ExceptionCode::NullPointerException, a->equals(DObjectPtr()));
}

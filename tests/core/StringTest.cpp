#include "CoreTestSupport.h"
#include "lang/DInteger.h"
#include "lang/DString.h"
#include "lang/DStringBuffer.h"
#include "lang/DbyteArray.h"

#include <string>

using namespace qev::lang;

namespace {
std::u16string text(const DStringPtr& s)
{
    return s->chars();
}
} // namespace

TEST(StringConcat, NullOperandsReadAsNull)
{
    DStringPtr none;
    EXPECT_EQ(u"nullabc", text(DString::concat(none, u"abc")));
    EXPECT_EQ(u"nullnull", text(DString::concat(none, none)));
    EXPECT_EQ(u"abcnull", text(DString::concat(u"abc", none)));
    EXPECT_EQ(u"nullx", text(DString::concat(static_cast<const char16_t*>(nullptr), u"x")));
    EXPECT_EQ(u"x-5", text(DString::concat(DStringPtr(u"x"), -5)));
    EXPECT_EQ(u"null7", text(none + 7));
}

TEST(StringConcat, OperatorsBuildNewStrings)
{
    DStringPtr a = u"ab";
    DStringPtr b = a + u"cd";
    EXPECT_EQ(u"ab", text(a));
    EXPECT_EQ(u"abcd", text(b));
    EXPECT_EQ(u">abcd", text(u">" + b));
    b += a;
    EXPECT_EQ(u"abcdab", text(b));
    EXPECT_EQ(6, b->length());
    EXPECT_EQ(u"n=-2147483648", text(DStringPtr(u"n=") + INT32_MIN));
}

TEST(StringConstruction, NarrowTextIsSignExtended)
{
    DStringPtr s(new DString("a\xe9\x7f"));
    ASSERT_EQ(3, s->length());
    EXPECT_EQ(u'a', s->charAt(0));
    EXPECT_EQ(0xFFE9, s->charAt(1));
    EXPECT_EQ(0x7F, s->charAt(2));
}

TEST(StringIndexes, CharAtAndSubstringBounds)
{
    DStringPtr s = u"abcd";
    EXPECT_EQ(u'd', s->charAt(3));
    EXPECT_THROWS_CODE(ExceptionCode::StringIndexOutOfBoundsException, s->charAt(4));
    EXPECT_THROWS_CODE(ExceptionCode::StringIndexOutOfBoundsException, s->charAt(-1));
    EXPECT_EQ(u"", text(s->substring(2, 2)));
    EXPECT_EQ(u"bc", text(s->substring(1, 3)));
    EXPECT_EQ(u"cd", text(s->substring(2)));
    EXPECT_THROWS_CODE(ExceptionCode::StringIndexOutOfBoundsException, s->substring(3, 2));
    EXPECT_THROWS_CODE(ExceptionCode::StringIndexOutOfBoundsException, s->substring(0, 5));
    EXPECT_THROWS_CODE(ExceptionCode::StringIndexOutOfBoundsException, s->substring(-1, 2));
}

TEST(StringSearch, IndexOfRules)
{
    DStringPtr s = u"abcd";
    EXPECT_EQ(2, s->indexOf(DStringPtr(u""), 2));
    EXPECT_EQ(-1, s->indexOf(DStringPtr(u"b"), 5));
    EXPECT_EQ(4, s->indexOf(DStringPtr(u""), 4));
    EXPECT_EQ(-1, s->indexOf(DStringPtr(u"cde")));
    EXPECT_EQ(2, s->indexOf(DStringPtr(u"cd")));
    DStringPtr abc = u"abca";
    EXPECT_EQ(0, abc->indexOf(u'a', -3));
    EXPECT_EQ(3, abc->indexOf(u'a', 1));
    EXPECT_EQ(-1, abc->indexOf(u'a', 4));
    EXPECT_EQ(3, abc->lastIndexOf(u'a'));
    EXPECT_EQ(-1, abc->lastIndexOf(u'z'));
    EXPECT_THROWS_CODE(ExceptionCode::NullPointerException, abc->indexOf(DStringPtr()));
}

TEST(StringCompare, ComparesUnsignedUnitsAndReturnsSign)
{
    DStringPtr ab = u"ab";
    EXPECT_EQ(-1, ab->compareTo(DStringPtr(u"abc")));
    EXPECT_EQ(1, DStringPtr(u"b")->compareTo(DStringPtr(u"abc")));
    EXPECT_EQ(0, ab->compareTo(DStringPtr(u"ab")));
    EXPECT_EQ(1, DStringPtr(u"\xFF01")->compareTo(DStringPtr(u"z"))); // not signed 16-bit
    EXPECT_TRUE(ab->startsWith(DStringPtr(u"a")));
    EXPECT_FALSE(ab->startsWith(DStringPtr(u"abc")));
    EXPECT_TRUE(ab->endsWith(DStringPtr(u"b")));
    EXPECT_TRUE(ab->endsWith(DStringPtr(u"")));
    EXPECT_FALSE(ab->endsWith(DStringPtr(u"xab")));
}

TEST(StringEquality, AllForms)
{
    DStringPtr s = u"abc";
    EXPECT_TRUE(s->equals(DStringPtr(u"abc")));
    EXPECT_FALSE(s->equals(DStringPtr()));
    EXPECT_TRUE(s.equals(u"abc"));
    EXPECT_FALSE(s.equals(u"ab"));
    EXPECT_FALSE(DStringPtr().equals(u"abc"));
    EXPECT_TRUE(s == DStringPtr(u"abc")); // pointer comparison falls back to equals
    // Slot-5 equality compares with the other object's text.
    DObjectPtr number(new DInteger(42));
    EXPECT_TRUE(DStringPtr(u"42")->equals(number));
    EXPECT_THROWS_CODE(ExceptionCode::NullPointerException, s->equals(DObjectPtr()));
}

TEST(StringHash, JavaCompatibleAndCached)
{
    EXPECT_EQ(97, DStringPtr(u"a")->hashCode());
    EXPECT_EQ(3105, DStringPtr(u"ab")->hashCode());
    EXPECT_EQ(0, DStringPtr(u"")->hashCode());
    // 32-bit wrap-around: Java's "hello world".hashCode() and a string past 2^31.
    EXPECT_EQ(1794106052, DStringPtr(u"hello world")->hashCode());
    EXPECT_EQ(-705574783, DStringPtr(u"Pallasterhorn")->hashCode());
    EXPECT_EQ(65535, DStringPtr(u"\xFFFF")->hashCode()); // units are unsigned
}

TEST(StringDerived, TrimReplaceAndCase)
{
    DStringPtr padded = u"  x ";
    EXPECT_EQ(u"x", text(padded->trim()));
    DStringPtr x = u"x";
    EXPECT_EQ(x.get(), x->trim().get());
    EXPECT_EQ(u"", text(DStringPtr(u" \t\n ")->trim()));
    DStringPtr empty = u"";
    EXPECT_EQ(empty.get(), empty->replace(u'a', u'b').get());
    DStringPtr abc = u"abca";
    DStringPtr replaced = abc->replace(u'a', u'z');
    EXPECT_EQ(u"zbcz", text(replaced));
    EXPECT_NE(abc.get(), abc->replace(u'q', u'r').get());
    EXPECT_EQ(u"héllo àé œ", text(DStringPtr(u"HÉllo ÀÉ Œ")->toLowerCase()));
    EXPECT_EQ(u"HÉLLO ÀÉ Ÿ 1×", text(DStringPtr(u"héllo àé ÿ 1×")->toUpperCase()));
}

// Case conversion follows the C library's full wide-character tables, not only Latin-1.
TEST(StringDerived, CaseConversionCoversTheWholeBasicPlane)
{
    // Final sigma, micro sign, Latin Extended-B and Cyrillic beyond the basic 64 letters.
    EXPECT_EQ(u"\u03A3\u039C\u01CD\u0462",
              text(DStringPtr(u"\u03C2\u00B5\u01CE\u0463")->toUpperCase()));
    // Greek capitals with tonos and the same Latin Extended-B and Cyrillic letters.
    EXPECT_EQ(u"\u03AC\u03AD\u01CE\u0463",
              text(DStringPtr(u"\u0386\u0388\u01CD\u0462")->toLowerCase()));
    // Caseless units and surrogate halves stay as they are; the original is untouched.
    DStringPtr mixed = u"Ab1-\U0001F600";
    EXPECT_EQ(u"ab1-\U0001F600", text(mixed->toLowerCase()));
    EXPECT_EQ(u"AB1-\U0001F600", text(mixed->toUpperCase()));
    EXPECT_EQ(u"Ab1-\U0001F600", text(mixed));
}

TEST(StringBuffer, GrowthFollowsTheDoublingRule)
{
    DStringBufferPtr b(new DStringBuffer);
    EXPECT_EQ(16, b->capacity());
    for (int i = 0; i < 15; ++i)
        b->append(u'a');
    EXPECT_EQ(16, b->capacity());
    b->append(u'b');
    EXPECT_EQ(32, b->capacity());
    EXPECT_EQ(16, b->length());

    DStringBufferPtr c(new DStringBuffer);
    c->append(DStringPtr(std::u16string(40, u'y').c_str()));
    EXPECT_EQ(41, c->capacity());
    c->append(DStringPtr())->append(u'!');
    EXPECT_EQ(std::u16string(40, u'y') + u"null!", text(c->toString()));
}

TEST(StringBuffer, SetLengthAndSetCharAt)
{
    DStringBufferPtr b(new DStringBuffer);
    b->append(DStringPtr(u"hello"));
    b->setLength(2);
    EXPECT_EQ(u"he", text(b->toString()));
    EXPECT_EQ(0, b->chars()[2]); // shrinking clears the dropped units
    b->setLength(4);
    EXPECT_EQ(4, b->toString()->length());
    EXPECT_EQ(0, b->chars()[3]);
    b->setCharAt(1, u'a');
    EXPECT_EQ(u'a', b->chars()[1]);
    EXPECT_THROWS_CODE(ExceptionCode::StringIndexOutOfBoundsException, b->setCharAt(4, u'x'));
    EXPECT_THROWS_CODE(ExceptionCode::StringIndexOutOfBoundsException, b->setCharAt(-1, u'x'));
    b->setLength(40);
    EXPECT_EQ(41, b->capacity()); // max(2 * 16, 40 + 1)
}

TEST(StringBuffer, NegativeLengthIsRefusedAndLeavesTheContents)
{
    DStringBufferPtr b(new DStringBuffer);
    b->append(DStringPtr(u"abc"));
    EXPECT_THROWS_CODE(ExceptionCode::StringIndexOutOfBoundsException, b->setLength(-2));
    EXPECT_EQ(3, b->length());
    EXPECT_EQ(16, b->capacity());
    EXPECT_EQ(u"abc", text(b->toString()));
}

TEST(StringBytes, SystemCodePageOneBytePerUnitWithoutTerminator)
{
    DPtr<DbyteArray> bytes = DStringPtr(u"Aé€\u4E00")->getBytes();
    ASSERT_EQ(4, bytes->length);
    EXPECT_EQ('A', (*bytes)[0]);
    EXPECT_EQ(static_cast<int8_t>(0xE9), (*bytes)[1]);
    EXPECT_EQ(static_cast<int8_t>(0x80), (*bytes)[2]);
    EXPECT_EQ('?', (*bytes)[3]);
    EXPECT_EQ(0, DStringPtr(u"")->getBytes()->length);
}

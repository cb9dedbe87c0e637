#include "CoreTestSupport.h"
#include "lang/DExceptionBase.h"

#include <string>

using namespace qev::lang;

namespace {
std::u16string name(int32_t code)
{
    return getExceptionName(code);
}
} // namespace

TEST(ExceptionNames, KnownCodesGiveTheirClassNames)
{
    EXPECT_EQ(u"NullPointerException", name(0x5000080));
    EXPECT_EQ(u"StringIndexOutOfBoundsException", name(0x5800002));
    EXPECT_EQ(u"Exception", name(0x4000000));
    EXPECT_EQ(u"RecordStoreNotOpenException", name(0x4200008));
    EXPECT_EQ(u"MediaException", name(ExceptionCode::MediaException));
    EXPECT_EQ(u"EOFException", name(ExceptionCode::EOFException));
}

TEST(ExceptionNames, UnknownCodesGiveHexadecimalText)
{
    EXPECT_EQ(u"1234", name(0x1234));
    EXPECT_EQ(u"-1", name(-1));
    EXPECT_EQ(u"0", name(0));
    EXPECT_EQ(u"-80000000", name(INT32_MIN));
    EXPECT_EQ(u"4000003", name(0x4000003));
}

TEST(ExceptionFamilies, EveryTableCodeIsAnExceptionAndFamiliesNest)
{
    const int32_t codes[] = {ExceptionCode::EOFException,
                             ExceptionCode::ArrayIndexOutOfBoundsException,
                             ExceptionCode::NullPointerException,
                             ExceptionCode::NumberFormatException,
                             ExceptionCode::InvalidRecordIDException,
                             ExceptionCode::SecurityException};
    for (int32_t code : codes) {
        DExceptionBase e{code, {0}};
        EXPECT_TRUE(e.isException()) << std::hex << code;
    }
    EXPECT_NE(0, ExceptionCode::EOFException & ExceptionCode::IOException & 0x2000000);
    EXPECT_EQ(ExceptionCode::IndexOutOfBoundsException,
              ExceptionCode::ArrayIndexOutOfBoundsException &
                  ExceptionCode::IndexOutOfBoundsException);
    DExceptionBase foreign{0x1234, {0}};
    EXPECT_FALSE(foreign.isException());
}

TEST(ExceptionThrowing, ThrowsAHeapPointerWithEmptyOrBoundedMessage)
{
    DExceptionBase* caught = nullptr;
    try {
        throwException(ExceptionCode::IOException);
    } catch (DExceptionBase* e) {
        caught = e;
    }
    ASSERT_NE(nullptr, caught);
    EXPECT_EQ(ExceptionCode::IOException, caught->code);
    EXPECT_EQ(0, caught->message[0]);
    delete caught;

    std::string longText(300, 'x');
    try {
        throwException(ExceptionCode::IOException, longText.c_str());
    } catch (DExceptionBase* e) {
        caught = e;
    }
    std::u16string message(caught->message);
    EXPECT_EQ(std::u16string(DExceptionBase::kMessageUnits - 1, u'x'), message);
    delete caught;
}

#include "ShellFixture.h"

#include "gamelib/RecordStoreUse.h"

#include "io/DByteArrayOutputStream.h"
#include "io/DDataOutputStream.h"
#include "lang/DExceptionBase.h"
#include "microedition/rms/DRecordStore.h"

using gamelib::readRecord;
using gamelib::useRecordStore;
using gamelib::writeRecord;
using qev::lang::DbyteArrayPtr;
using qev::microedition::rms::DRecordStore;
using qev::microedition::rms::DRecordStorePtr;

namespace {

namespace code = qev::lang::ExceptionCode;

DbyteArrayPtr intRecord(int32_t value)
{
    qev::lang::DPtr<qev::io::DByteArrayOutputStream> bytes = new qev::io::DByteArrayOutputStream();
    qev::lang::DPtr<qev::io::DDataOutputStream> out = new qev::io::DDataOutputStream(bytes);
    out->writeInt(value);
    return bytes->toByteArray();
}

// The code of the exception that `call` throws, 0 when it throws none.
template <class F> int32_t thrownCode(F call)
{
    try {
        call();
    } catch (qev::lang::DExceptionBase* e) {
        const int32_t c = e->code;
        delete e;
        return c;
    }
    return 0;
}

class RecordStoreUse : public shelltest::ShellTest
{
};

TEST_F(RecordStoreUse, WritesAddThenReplaceAndReadBackInALaterOpening)
{
    useRecordStore(u"use_test", [](DRecordStore& store) {
        writeRecord(store, 1, intRecord(7));
        writeRecord(store, 2, intRecord(8));
        writeRecord(store, 1, intRecord(-40));
    });
    int32_t records = -1, first = 0, second = 0;
    useRecordStore(u"use_test", [&](DRecordStore& store) {
        records = store.getNumRecords();
        first = readRecord(store, 1)->readInt();
        second = readRecord(store, 2)->readInt();
    });
    EXPECT_EQ(records, 2) << "record 1 was replaced, not added again";
    EXPECT_EQ(first, -40);
    EXPECT_EQ(second, 8);
}

TEST_F(RecordStoreUse, AFailureOfTheStoreRunsTheFallbackAndStillClosesTheStore)
{
    DRecordStorePtr used;
    bool fellBack = false;
    bool readPastFailure = false;
    useRecordStore(
        u"use_test",
        [&](DRecordStore& store) {
            used = &store;
            readRecord(store, 3); // no such record
            readPastFailure = true;
        },
        [&] { fellBack = true; });
    EXPECT_TRUE(fellBack);
    EXPECT_FALSE(readPastFailure);
    ASSERT_TRUE(used);
    EXPECT_EQ(thrownCode([&] { used->getNumRecords(); }), code::RecordStoreNotOpenException);

    // Without a fallback the failure ends the use quietly, and the store is closed as well.
    EXPECT_EQ(thrownCode([&] {
                  useRecordStore(u"use_test", [&](DRecordStore& store) {
                      used = &store;
                      store.setRecord(5, intRecord(1), 0, 4);
                  });
              }),
              0);
    EXPECT_EQ(thrownCode([&] { used->getNumRecords(); }), code::RecordStoreNotOpenException);
}

TEST_F(RecordStoreUse, AnErrorThatIsNoExceptionPassesOnWithoutTheFallback)
{
    bool fellBack = false;
    auto* error = new qev::lang::DExceptionBase{};
    error->code = 0x1000000; // outside the Exception family
    const int32_t thrown = thrownCode([&] {
        useRecordStore(
            u"use_test", [&](DRecordStore&) { throw error; }, [&] { fellBack = true; });
    });
    EXPECT_EQ(thrown, 0x1000000);
    EXPECT_FALSE(fellBack);
}

} // namespace

#include "CoreTestSupport.h"
#include "io/DByteArrayInputStream.h"
#include "io/DByteArrayOutputStream.h"
#include "io/DDataInputStream.h"
#include "io/DDataOutputStream.h"
#include "io/DPrintStream.h"

#include <string>
#include <vector>

using namespace qev::lang;
using namespace qev::io;

namespace {

DbyteArrayPtr bytes(std::vector<int> values)
{
    DbyteArrayPtr a(new DbyteArray(static_cast<int32_t>(values.size())));
    for (size_t i = 0; i < values.size(); ++i)
        a[static_cast<int32_t>(i)] = static_cast<int8_t>(values[i]);
    return a;
}

std::vector<int> unsignedBytes(const DbyteArrayPtr& a)
{
    std::vector<int> v;
    for (int32_t i = 0; i < a->length; ++i)
        v.push_back(static_cast<uint8_t>(a[i]));
    return v;
}

DDataInputStreamPtr dataOver(std::vector<int> values)
{
    return DDataInputStreamPtr(
        new DDataInputStream(DInputStreamPtr(new DByteArrayInputStream(bytes(values)))));
}

struct Sink
{
    DByteArrayOutputStreamPtr buffer{new DByteArrayOutputStream};
    DDataOutputStreamPtr data{new DDataOutputStream(DOutputStreamPtr(buffer))};
    std::vector<int> written() const { return unsignedBytes(buffer->toByteArray()); }
};

} // namespace

TEST(ModifiedUtf8, WritesTheJavaEncoding)
{
    Sink empty;
    empty.data->writeUTF(DStringPtr(u""));
    EXPECT_EQ((std::vector<int>{0, 0}), empty.written());

    Sink zero;
    zero.data->writeUTF(DStringPtr(new DString(u"\0", 1)));
    EXPECT_EQ((std::vector<int>{0, 2, 0xC0, 0x80}), zero.written());

    Sink euro;
    euro.data->writeUTF(DStringPtr(u"\u20AC"));
    EXPECT_EQ((std::vector<int>{0, 3, 0xE2, 0x82, 0xAC}), euro.written());

    Sink mixed;
    mixed.data->writeUTF(DStringPtr(u"A\u00E9\U0001F600")); // a surrogate pair is two 3-byte units
    EXPECT_EQ((std::vector<int>{0, 9, 0x41, 0xC3, 0xA9, 0xED, 0xA0, 0xBD, 0xED, 0xB8, 0x80}),
              mixed.written());
}

TEST(ModifiedUtf8, TooLongTextIsRefusedWithoutWriting)
{
    Sink sink;
    std::u16string longText(21846, u'\u20AC'); // 65538 bytes encoded
    EXPECT_THROWS_CODE(ExceptionCode::UTFDataFormatException,
                       sink.data->writeUTF(DStringPtr(longText.c_str())));
    EXPECT_EQ(0, sink.buffer->size());
    std::u16string fits(65535, u'a');
    sink.data->writeUTF(DStringPtr(fits.c_str()));
    EXPECT_EQ(65537, sink.buffer->size());
}

TEST(ModifiedUtf8, ReadsAndRejectsMalformedInput)
{
    DStringPtr nul = dataOver({0, 2, 0xC0, 0x80})->readUTF();
    ASSERT_EQ(1, nul->length());
    EXPECT_EQ(0, nul->charAt(0));
    EXPECT_TRUE(dataOver({0, 5, 0x41, 0xE2, 0x82, 0xAC, 0x7F})->readUTF().equals(u"A\u20AC\x7F"));
    EXPECT_THROWS_CODE(ExceptionCode::UTFDataFormatException, dataOver({0, 1, 0x80})->readUTF());
    EXPECT_THROWS_CODE(ExceptionCode::UTFDataFormatException,
                       dataOver({0, 2, 0xE2, 0x82})->readUTF());
    EXPECT_THROWS_CODE(ExceptionCode::UTFDataFormatException, dataOver({0, 1, 0xC3})->readUTF());
    EXPECT_THROWS_CODE(ExceptionCode::UTFDataFormatException,
                       dataOver({0, 2, 0xC3, 0x41})->readUTF());
    EXPECT_THROWS_CODE(ExceptionCode::UTFDataFormatException, dataOver({0, 1, 0xF0})->readUTF());
    EXPECT_THROWS_CODE(ExceptionCode::UTFDataFormatException,
                       dataOver({0, 3, 0xE2, 0x02, 0xAC})->readUTF());
    EXPECT_THROWS_CODE(ExceptionCode::EOFException, dataOver({0, 4, 0x41})->readUTF());
    EXPECT_THROWS_CODE(ExceptionCode::EOFException, dataOver({0})->readUTF());
}

TEST(ModifiedUtf8, RoundTripsEveryUnit)
{
    std::u16string all;
    for (int c = 0; c < 0x10000; c += 7)
        all.push_back(static_cast<char16_t>(c));
    Sink sink;
    DStringPtr original(new DString(all.data(), static_cast<int32_t>(all.size())));
    sink.data->writeUTF(original);
    DStringPtr back =
        DDataInputStream(DInputStreamPtr(new DByteArrayInputStream(sink.buffer->toByteArray())))
            .readUTF();
    EXPECT_EQ(original->length(), back->length());
    EXPECT_EQ(0, original->compareTo(back));
    EXPECT_TRUE(sink.buffer->toString()->equals(original)); // toString reads the record back
}

TEST(DataStreams, BigEndianIntegers)
{
    Sink sink;
    sink.data->writeInt(-2);
    sink.data->writeInt(0x01020304);
    EXPECT_EQ((std::vector<int>{0xFF, 0xFF, 0xFF, 0xFE, 1, 2, 3, 4}), sink.written());
    DDataInputStreamPtr in = dataOver({0xFF, 0xFF, 0xFF, 0xFE, 0xFF, 0xFE, 0x80});
    EXPECT_EQ(-2, in->readInt());
    EXPECT_EQ(65534, in->readUnsignedShort());
    EXPECT_EQ(-128, in->readByte());
    EXPECT_THROWS_CODE(ExceptionCode::EOFException, in->readByte());
    EXPECT_THROWS_CODE(ExceptionCode::EOFException, dataOver({1, 2, 3})->readInt());
    EXPECT_THROWS_CODE(ExceptionCode::EOFException, dataOver({1})->readUnsignedShort());
}

TEST(DataStreams, ReadFullyAndNullTargets)
{
    DbyteArrayPtr four(new DbyteArray(4));
    EXPECT_THROWS_CODE(ExceptionCode::EOFException, dataOver({1, 2})->readFully(four));
    DDataInputStreamPtr in = dataOver({9, 8, 7, 6, 5});
    in->readFully(four);
    EXPECT_EQ((std::vector<int>{9, 8, 7, 6}), unsignedBytes(four));
    in->readFully(DbyteArrayPtr(new DbyteArray(0)));
    EXPECT_EQ(1, in->available());
    DDataInputStream orphan{DInputStreamPtr()};
    EXPECT_THROWS_CODE(ExceptionCode::NullPointerException, orphan.read());
}

TEST(ByteArrayInput, EndOfDataSkipAndClose)
{
    DByteArrayInputStream in(bytes({1, 2, 3, 4, 5, 6}));
    EXPECT_EQ(1, in.read());
    EXPECT_EQ(1, in.skip(1));
    DbyteArrayPtr b(new DbyteArray(10));
    EXPECT_EQ(4, in.read(b, 0, 10));
    EXPECT_EQ(0, in.read(b, 0, 10)); // at the end: 0, not -1
    EXPECT_EQ(-1, in.read());
    in.reset();
    EXPECT_EQ(0, in.skip(-5));
    EXPECT_EQ(6, in.skip(100));
    in.reset();
    char raw[8];
    EXPECT_EQ(6, in.read(raw, 8));
    EXPECT_EQ(-1, in.read(raw, 8));
    EXPECT_THROWS_CODE(ExceptionCode::IndexOutOfBoundsException, in.read(raw, -1));
    EXPECT_THROWS_CODE(ExceptionCode::IndexOutOfBoundsException, in.read(b, 8, 3));
    EXPECT_THROWS_CODE(ExceptionCode::IndexOutOfBoundsException, in.read(b, -1, 1));
    in.close();
    EXPECT_EQ(-1, in.read());
    EXPECT_EQ(0, in.available());
}

TEST(ByteArrayInput, ReadingIntoItsOwnArrayCopiesAsThroughABuffer)
{
    DbyteArrayPtr shared = bytes({1, 2, 3, 4, 5, 6});
    DByteArrayInputStream down(shared);
    down.skip(2);
    EXPECT_EQ(4, down.read(shared, 0, 4)); // bytes 2..5 move to 0..3
    EXPECT_EQ((std::vector<int>{3, 4, 5, 6, 5, 6}), unsignedBytes(shared));

    DbyteArrayPtr other = bytes({1, 2, 3, 4, 5, 6});
    DByteArrayInputStream up(other);
    EXPECT_EQ(4, up.read(other, 2, 4)); // bytes 0..3 move to 2..5
    EXPECT_EQ((std::vector<int>{1, 2, 1, 2, 3, 4}), unsignedBytes(other));
}

TEST(ByteArrayOutput, GrowthRule)
{
    DByteArrayOutputStream single;
    for (int i = 0; i < 65; ++i)
        single.write(i);
    EXPECT_EQ(128, single.bufferLength());
    DByteArrayOutputStream bulk;
    bulk.write(DbyteArrayPtr(new DbyteArray(100)));
    EXPECT_EQ(164, bulk.bufferLength());
    EXPECT_EQ(100, bulk.size());
    EXPECT_THROWS_CODE(ExceptionCode::IndexOutOfBoundsException, bulk.write(bytes({1, 2}), 1, 2));
    bulk.reset();
    EXPECT_EQ(0, bulk.size());
    EXPECT_EQ(164, bulk.bufferLength());
    bulk.write(0x1FF);
    EXPECT_EQ((std::vector<int>{0xFF}), unsignedBytes(bulk.toByteArray()));
}

TEST(PrintStream, OverNullDropsAndOverATargetForwards)
{
    DPrintStream none{DOutputStreamPtr()};
    none.write(65);
    none.write(bytes({1, 2}));
    none.flush();
    none.close();
    DByteArrayOutputStreamPtr target(new DByteArrayOutputStream);
    DPrintStream console{DOutputStreamPtr(target)};
    console.write(bytes({7, 8, 9}), 1, 2);
    console.write(10);
    EXPECT_EQ((std::vector<int>{8, 9, 10}), unsignedBytes(target->toByteArray()));
}

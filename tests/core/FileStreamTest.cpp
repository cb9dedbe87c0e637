#include "CoreTestSupport.h"
#include "DeviceFixture.h"
#include "TempFolder.h"
#include "io/DDataInputStream.h"
#include "io/DFileInputStream.h"
#include "io/DFileOutputStream.h"
#include "lang/DSystem.h"
#include "lang/DbyteArray.h"
#include "platform/testing/FileFaults.h"

#include <string>

using namespace qev::lang;
using namespace qev::io;
using platform::FileCall;
using platform::FileFaults;

namespace {

// File streams over a temporary program folder: the program file is <folder>/game.exe, so
// "app.fullpath" is the folder itself.
class FileStreams : public DeviceTest
{
  protected:
    FileStreams() { profile().programFile = folder.path() + "/game.exe"; }
    testsupport::TempFolder folder;
};

std::string asText(const DbyteArrayPtr& b, int32_t n)
{
    return std::string(reinterpret_cast<const char*>(b->getData()), static_cast<size_t>(n));
}

} // namespace

TEST_F(FileStreams, OutputNamesStartWithASlashAndInputNamesMayNot)
{
    EXPECT_THROWS_CODE(ExceptionCode::IOException,
                       DFileOutputStream::open(u"/missing/folder/x.bin"));
    folder.write("sub/.keep", "");
    DFileOutputStreamPtr out = DFileOutputStream::open(u"/sub/scores.bin");
    out->write(0x41);
    out->write(0x142); // only the low byte is written
    out->flush();
    out->close();
    out->close(); // a second close does nothing
    EXPECT_EQ("AB", folder.read("sub/scores.bin"));

    // Both spellings reach the same file; "\" too.
    EXPECT_EQ('A', DFileInputStream::open(u"sub/scores.bin")->read());
    EXPECT_EQ('A', DFileInputStream::open(u"/sub/scores.bin")->read());
    EXPECT_EQ('A', DFileInputStream::open(u"\\sub\\scores.bin")->read());
    EXPECT_THROWS_CODE(ExceptionCode::IOException, DFileInputStream::open(u"nothing.bin"));
    EXPECT_THROWS_CODE(ExceptionCode::NullPointerException, DFileInputStream::open(DStringPtr()));
    EXPECT_THROWS_CODE(ExceptionCode::NullPointerException, DFileOutputStream::open(DStringPtr()));
}

TEST_F(FileStreams, OpeningForOutputTruncates)
{
    folder.write("log.txt", "old contents that are long");
    DFileOutputStream::open(u"/log.txt")->write(0x7A);
    EXPECT_EQ("z", folder.read("log.txt"));
}

TEST_F(FileStreams, ReadsAvailableSkipResetAndEndOfFile)
{
    folder.write("data.bin", "0123456789");
    DFileInputStreamPtr in = DFileInputStream::open(u"data.bin");
    EXPECT_EQ(10, in->available());
    DbyteArrayPtr b(new DbyteArray(8));
    EXPECT_EQ(4, in->read(b, 2, 4));
    EXPECT_EQ("0123", asText(b, 6).substr(2));
    EXPECT_EQ(6, in->available());
    EXPECT_EQ(3, in->skip(3));
    EXPECT_EQ(0, in->skip(-5)); // never moves backwards
    EXPECT_EQ(0, in->skip(0));
    EXPECT_EQ('7', in->read());
    EXPECT_EQ(2, in->available());
    EXPECT_EQ(2, in->read(b, 0, 8)); // short read at the end
    EXPECT_EQ(0, in->read(b, 0, 8)); // then nothing
    EXPECT_THROWS_CODE(ExceptionCode::EOFException, in->read());
    in->reset();
    EXPECT_EQ('0', in->read());

    char raw[4] = {};
    EXPECT_EQ(4, in->read(raw, 4));
    EXPECT_EQ("1234", std::string(raw, 4));
    EXPECT_THROWS_CODE(ExceptionCode::NullPointerException,
                       in->read(static_cast<char*>(nullptr), 1));
    EXPECT_THROWS_CODE(ExceptionCode::IndexOutOfBoundsException, in->read(raw, -1));
}

TEST_F(FileStreams, HugeSkipsNeverMoveBackwards)
{
    folder.write("data.bin", "0123456789");
    DFileInputStreamPtr in = DFileInputStream::open(u"data.bin");
    EXPECT_EQ('0', in->read());
    EXPECT_EQ('1', in->read());
    // 0xFFFFFFFF as a signed 32-bit distance is -1: the stream would step back to '1'. It goes
    // forward as far as a 32-bit position reaches instead, past the end of the file.
    EXPECT_EQ(INT32_MAX - 2, in->skip(0xFFFFFFFFll));
    EXPECT_EQ(0, in->available()); // past the end: nothing left, not a negative count
    EXPECT_THROWS_CODE(ExceptionCode::EOFException, in->read());
    EXPECT_EQ(0, in->skip(1)); // at the farthest position already

    in->reset();
    EXPECT_EQ(3, in->skip(3));
    // 2^32 + 1 would be a skip of 1 by its low 32 bits.
    EXPECT_EQ(INT32_MAX - 3, in->skip((int64_t(1) << 32) + 1));
    EXPECT_EQ(0, in->available());
    in->reset();
    EXPECT_EQ(15, in->skip(15)); // an ordinary skip may pass the end too
    EXPECT_EQ(0, in->available());
}

TEST_F(FileStreams, ArrayRangesAreCheckedBeforeTouchingTheFile)
{
    folder.write("data.bin", "abcdefgh");
    DFileInputStreamPtr in = DFileInputStream::open(u"data.bin");
    DbyteArrayPtr b(new DbyteArray(4));
    // The documented IOException cases.
    EXPECT_THROWS_CODE(ExceptionCode::IOException, in->read(DbyteArrayPtr(), 0, 1));
    EXPECT_THROWS_CODE(ExceptionCode::IOException, in->read(b, 5, 1));
    EXPECT_THROWS_CODE(ExceptionCode::IOException, in->read(b, 0, 0));
    // Ranges past the array or negative are refused instead of overrunning it.
    EXPECT_THROWS_CODE(ExceptionCode::IndexOutOfBoundsException, in->read(b, 2, 3));
    EXPECT_THROWS_CODE(ExceptionCode::IndexOutOfBoundsException, in->read(b, -1, 2));
    EXPECT_THROWS_CODE(ExceptionCode::IndexOutOfBoundsException, in->read(b, 0, -2));
    EXPECT_EQ(8, in->available()); // nothing was consumed by the refused calls

    DFileOutputStreamPtr out = DFileOutputStream::open(u"/out.bin");
    EXPECT_THROWS_CODE(ExceptionCode::IndexOutOfBoundsException, out->write(b, 3, 2));
    EXPECT_THROWS_CODE(ExceptionCode::IndexOutOfBoundsException, out->write(b, -1, 1));
    EXPECT_THROWS_CODE(ExceptionCode::IndexOutOfBoundsException, out->write(b, 0, -1));
    EXPECT_THROWS_CODE(ExceptionCode::IOException, out->write(b, 0, 0));
    EXPECT_THROWS_CODE(ExceptionCode::IOException, out->write(DbyteArrayPtr(), 0, 1));
    out->close();
    EXPECT_EQ("", folder.read("out.bin"));
}

TEST_F(FileStreams, ClosedStreamsFailEveryCall)
{
    folder.write("data.bin", "abc");
    DFileInputStreamPtr in = DFileInputStream::open(u"data.bin");
    in->close();
    EXPECT_THROWS_CODE(ExceptionCode::IOException, in->read());
    EXPECT_THROWS_CODE(ExceptionCode::IOException, in->available());
    DFileOutputStreamPtr out = DFileOutputStream::open(u"/out.bin");
    out->close();
    EXPECT_THROWS_CODE(ExceptionCode::IOException, out->write(1));
    EXPECT_THROWS_CODE(ExceptionCode::IOException, out->flush());
}

TEST_F(FileStreams, SystemFailuresBecomeIOException)
{
    folder.write("data.bin", "abcdef");
    DFileInputStreamPtr in = DFileInputStream::open(u"data.bin");
    FileFaults::failNth(FileCall::Read, 1);
    EXPECT_THROWS_CODE(ExceptionCode::IOException, in->read());
    EXPECT_EQ('a', in->read()); // one failure, then the stream goes on
    FileFaults::failNth(FileCall::Seek, 2);
    EXPECT_THROWS_CODE(ExceptionCode::IOException, in->available());

    DFileOutputStreamPtr out = DFileOutputStream::open(u"/out.bin");
    DbyteArrayPtr b(new DbyteArray(3));
    FileFaults::failNth(FileCall::Write, 1);
    EXPECT_THROWS_CODE(ExceptionCode::IOException, out->write(b, 0, 3));
    FileFaults::failNth(FileCall::Flush, 1);
    EXPECT_THROWS_CODE(ExceptionCode::IOException, out->flush());
}

TEST_F(FileStreams, DataStreamOverAFileReadsBigEndian)
{
    folder.write("v.bin", std::string("\x12\x34\x56\x78\x00\x02hi", 8));
    DDataInputStreamPtr data(new DDataInputStream(DFileInputStream::open(u"v.bin")));
    EXPECT_EQ(0x12345678, data->readInt());
    EXPECT_EQ(u"hi", std::u16string(DDataInputStream::readUTF(data)->chars()));
    EXPECT_THROWS_CODE(ExceptionCode::EOFException, data->readByte());
}

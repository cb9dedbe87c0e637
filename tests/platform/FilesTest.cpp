#include "platform/files.h"
#include "DeviceFixture.h"
#include "TempFolder.h"
#include "platform/HandleTable.h"
#include "platform/PathMapping.h"
#include "platform/testing/FileFaults.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

using platform::FileCall;
using platform::FileFaults;
using platform::PathMapping;

namespace {

class Files : public DeviceTest
{
  protected:
    // The platform name of `name` inside the temporary folder.
    std::u16string platformName(const std::string& name)
    {
        std::u16string out;
        EXPECT_EQ(PathMapping::toPlatform(folder.path() + "/" + name, out), DWORD(ERROR_SUCCESS));
        return out;
    }
    HANDLE open(const std::string& name, DWORD access, DWORD disposition)
    {
        return CreateFileW(platformName(name).c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE,
                           nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
    }
    std::string readAll(HANDLE h)
    {
        std::string out;
        char buffer[7]; // odd size: several calls, the last one partial
        DWORD n = 0;
        while (ReadFile(h, buffer, sizeof buffer, &n, nullptr) && n > 0)
            out.append(buffer, n);
        return out;
    }
    testsupport::TempFolder folder;
};

} // namespace

TEST(PathMapping, BackslashesAndSlashesMapBothWays)
{
    std::string posix;
    ASSERT_EQ(PathMapping::toPosix(u"\\opt\\game\\bin\\pallasterhorn", posix), DWORD(0));
    EXPECT_EQ(posix, "/opt/game/bin/pallasterhorn");
    std::u16string back;
    ASSERT_EQ(PathMapping::toPlatform(posix, back), DWORD(0));
    EXPECT_EQ(back, u"\\opt\\game\\bin\\pallasterhorn");

    // A name built as folder + "/doutput.txt" names the same file.
    ASSERT_EQ(PathMapping::toPosix(u"\\opt\\game/doutput.txt", posix), DWORD(0));
    EXPECT_EQ(posix, "/opt/game/doutput.txt");

    ASSERT_EQ(PathMapping::toPosix(u"\\d\u00e9j\u00e0\\\U0001F600.txt", posix), DWORD(0));
    EXPECT_EQ(posix, "/d\xC3\xA9j\xC3\xA0/\xF0\x9F\x98\x80.txt");
    ASSERT_EQ(PathMapping::toPlatform(posix, back), DWORD(0));
    EXPECT_EQ(back, u"\\d\u00e9j\u00e0\\\U0001F600.txt");
}

TEST(PathMapping, NamesThatCannotBeMappedAreRefused)
{
    std::string posix = "unchanged";
    const char16_t lone[] = {u'\\', u'a', 0xD800, u'b', 0};
    EXPECT_EQ(PathMapping::toPosix(lone, posix), DWORD(ERROR_INVALID_NAME));
    const char16_t loneLow[] = {u'\\', 0xDC00, 0};
    EXPECT_EQ(PathMapping::toPosix(loneLow, posix), DWORD(ERROR_INVALID_NAME));
    EXPECT_EQ(PathMapping::toPosix(u"", posix), DWORD(ERROR_INVALID_NAME));
    EXPECT_EQ(PathMapping::toPosix(nullptr, posix), DWORD(ERROR_INVALID_NAME));
    EXPECT_EQ(posix, "unchanged");

    std::u16string out;
    EXPECT_EQ(PathMapping::toPlatform("/opt/odd\\folder/x", out), DWORD(ERROR_INVALID_NAME));
    EXPECT_EQ(PathMapping::toPlatform("/opt/\xFF\xFE/x", out), DWORD(ERROR_INVALID_NAME));

    const char16_t badName[] = {u'\\', u't', u'm', u'p', u'\\', 0xDBFF, 0};
    EXPECT_EQ(CreateFileW(badName, GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr),
              INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_NAME));
}

TEST_F(Files, DispositionsCreateOpenAndTruncate)
{
    // CREATE_NEW on a fresh name creates; a second time the file exists.
    HANDLE h = open("a.txt", GENERIC_WRITE, CREATE_NEW);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    DWORD written = 0;
    ASSERT_TRUE(WriteFile(h, "hello world", 11, &written, nullptr));
    EXPECT_EQ(written, 11u);
    ASSERT_TRUE(CloseHandle(h));
    EXPECT_EQ(open("a.txt", GENERIC_WRITE, CREATE_NEW), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_FILE_EXISTS));

    // OPEN_ALWAYS keeps the contents and says that the file existed.
    h = open("a.txt", GENERIC_READ, OPEN_ALWAYS);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_ALREADY_EXISTS));
    EXPECT_EQ(readAll(h), "hello world");
    CloseHandle(h);

    // CREATE_ALWAYS truncates an existing file.
    h = open("a.txt", GENERIC_WRITE, CREATE_ALWAYS);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_ALREADY_EXISTS));
    EXPECT_EQ(GetFileSize(h, nullptr), 0u);
    ASSERT_TRUE(WriteFile(h, "xy", 2, &written, nullptr));
    CloseHandle(h);
    EXPECT_EQ(folder.read("a.txt"), "xy");

    // CREATE_ALWAYS on a new name: no "already exists".
    h = open("b.txt", GENERIC_WRITE, CREATE_ALWAYS);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_SUCCESS));
    CloseHandle(h);

    // TRUNCATE_EXISTING needs write access and an existing file.
    EXPECT_EQ(open("a.txt", GENERIC_READ, TRUNCATE_EXISTING), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
    EXPECT_EQ(open("none.txt", GENERIC_WRITE, TRUNCATE_EXISTING), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_FILE_NOT_FOUND));
    h = open("a.txt", GENERIC_WRITE, TRUNCATE_EXISTING);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    CloseHandle(h);
    EXPECT_EQ(folder.read("a.txt"), "");

    EXPECT_EQ(open("a.txt", GENERIC_READ, 99), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
}

TEST_F(Files, OpenFailuresGiveTheirErrorCodes)
{
    EXPECT_EQ(open("missing.txt", GENERIC_READ, OPEN_EXISTING), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(open("no/such/folder/x.txt", GENERIC_READ, OPEN_EXISTING), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_PATH_NOT_FOUND));
    EXPECT_EQ(open("no/x.txt", GENERIC_WRITE, CREATE_ALWAYS), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_PATH_NOT_FOUND));

    // A folder is not a file, whichever way it is opened.
    folder.write("sub/inner.txt", "x");
    EXPECT_EQ(open("sub", GENERIC_READ, OPEN_EXISTING), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_ACCESS_DENIED));
    EXPECT_EQ(open("sub", GENERIC_WRITE, CREATE_ALWAYS), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_ACCESS_DENIED));
    // Through a file as if it were a folder.
    EXPECT_EQ(open("sub/inner.txt/x", GENERIC_READ, OPEN_EXISTING), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_PATH_NOT_FOUND));

    if (geteuid() != 0) { // root ignores permission bits
        std::string locked = folder.write("locked.txt", "secret");
        chmod(locked.c_str(), 0);
        EXPECT_EQ(open("locked.txt", GENERIC_READ, OPEN_EXISTING), INVALID_HANDLE_VALUE);
        EXPECT_EQ(GetLastError(), DWORD(ERROR_ACCESS_DENIED));
    }
    // Names longer than the file system allows fail cleanly.
    EXPECT_EQ(open(std::string(300, 'n'), GENERIC_WRITE, CREATE_ALWAYS), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_FILENAME_EXCED_RANGE));
    std::string deep;
    for (int i = 0; i < 500; ++i)
        deep += "abcdefghi/";
    EXPECT_EQ(open(deep + "x", GENERIC_READ, OPEN_EXISTING), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_FILENAME_EXCED_RANGE));

    size_t before = platform::HandleTable::openCount();
    EXPECT_EQ(open("missing.txt", GENERIC_READ, OPEN_EXISTING), INVALID_HANDLE_VALUE);
    EXPECT_EQ(platform::HandleTable::openCount(), before);
}

TEST_F(Files, WritingNeverGoesThroughASymbolicLink)
{
    // A link where a file is written, to a file elsewhere and to nothing yet: every way of
    // opening for writing fails and the target stays as it was (or is not made).
    const std::string target = folder.write("elsewhere/target.txt", "keep");
    ASSERT_EQ(symlink(target.c_str(), (folder.path() + "/log.txt").c_str()), 0);
    const std::string absent = folder.path() + "/elsewhere/absent.txt";
    ASSERT_EQ(symlink(absent.c_str(), (folder.path() + "/dangling.txt").c_str()), 0);
    for (DWORD disposition : {CREATE_ALWAYS, OPEN_ALWAYS, OPEN_EXISTING, TRUNCATE_EXISTING}) {
        for (const char* name : {"log.txt", "dangling.txt"}) {
            EXPECT_EQ(open(name, GENERIC_WRITE, disposition), INVALID_HANDLE_VALUE)
                << name << " " << disposition;
            EXPECT_EQ(open(name, GENERIC_READ | GENERIC_WRITE, disposition), INVALID_HANDLE_VALUE)
                << name << " " << disposition;
        }
    }
    EXPECT_EQ(open("dangling.txt", GENERIC_WRITE, CREATE_NEW), INVALID_HANDLE_VALUE);
    EXPECT_EQ(folder.read("elsewhere/target.txt"), "keep");
    EXPECT_EQ(access(absent.c_str(), F_OK), -1);

    // Reading through a link still works.
    HANDLE h = open("log.txt", GENERIC_READ, OPEN_EXISTING);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    EXPECT_EQ(readAll(h), "keep");
    CloseHandle(h);
}

TEST_F(Files, AccessModesAreKept)
{
    folder.write("r.txt", "abc");
    HANDLE h = open("r.txt", GENERIC_READ, OPEN_EXISTING);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    DWORD n = 99;
    EXPECT_FALSE(WriteFile(h, "x", 1, &n, nullptr));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_ACCESS_DENIED));
    EXPECT_EQ(n, 0u);
    EXPECT_FALSE(FlushFileBuffers(h));
    CloseHandle(h);

    h = open("w.txt", GENERIC_WRITE, CREATE_ALWAYS);
    char c;
    EXPECT_FALSE(ReadFile(h, &c, 1, &n, nullptr));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_ACCESS_DENIED));
    EXPECT_TRUE(FlushFileBuffers(h));
    CloseHandle(h);
    EXPECT_EQ(folder.read("r.txt"), "abc");
}

TEST_F(Files, BadHandlesFailWithoutCrashing)
{
    folder.write("f.txt", "data");
    HANDLE closed = open("f.txt", GENERIC_READ, OPEN_EXISTING);
    ASSERT_TRUE(CloseHandle(closed));
    HANDLE mapping = nullptr;
    {
        HANDLE f = open("f.txt", GENERIC_READ, OPEN_EXISTING);
        mapping = CreateFileMappingW(f, nullptr, PAGE_READONLY, 0, 0, nullptr);
        CloseHandle(f);
    }
    ASSERT_NE(mapping, nullptr);
    // 0, -1, a closed handle and a handle of another kind.
    for (HANDLE bad : {HANDLE(nullptr), INVALID_HANDLE_VALUE, closed, mapping,
                       reinterpret_cast<HANDLE>(uintptr_t(0xDEAD0))}) {
        char buffer[4];
        DWORD n = 77;
        SetLastError(0);
        EXPECT_FALSE(ReadFile(bad, buffer, 4, &n, nullptr));
        EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_HANDLE));
        EXPECT_EQ(n, 0u);
        EXPECT_FALSE(WriteFile(bad, buffer, 4, &n, nullptr));
        EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_HANDLE));
        EXPECT_EQ(SetFilePointer(bad, 0, nullptr, FILE_BEGIN), INVALID_SET_FILE_POINTER);
        EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_HANDLE));
        EXPECT_FALSE(FlushFileBuffers(bad));
        EXPECT_EQ(GetFileSize(bad, nullptr), INVALID_FILE_SIZE);
        EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_HANDLE));
        EXPECT_EQ(CreateFileMappingW(bad, nullptr, PAGE_READONLY, 0, 0, nullptr), nullptr);
        EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_HANDLE));
    }
    EXPECT_FALSE(CloseHandle(closed));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_HANDLE));
    EXPECT_TRUE(CloseHandle(mapping));
}

TEST_F(Files, ReadsToTheEndInPiecesAndWritesWhole)
{
    std::string text;
    for (int i = 0; i < 1000; ++i)
        text += char('a' + i % 26);
    HANDLE h = open("big.txt", GENERIC_WRITE, CREATE_ALWAYS);
    DWORD n = 0;
    ASSERT_TRUE(WriteFile(h, text.data(), DWORD(text.size()), &n, nullptr));
    EXPECT_EQ(n, text.size());
    ASSERT_TRUE(WriteFile(h, "", 0, &n, nullptr)); // empty write is fine
    CloseHandle(h);

    h = open("big.txt", GENERIC_READ, OPEN_EXISTING);
    EXPECT_EQ(readAll(h), text);
    char c;
    ASSERT_TRUE(ReadFile(h, &c, 1, &n, nullptr)); // at the end: success with 0 bytes
    EXPECT_EQ(n, 0u);
    EXPECT_FALSE(ReadFile(h, nullptr, 5, &n, nullptr));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
    CloseHandle(h);
}

TEST_F(Files, SeeksStayWithinZeroAndTwoGiB)
{
    folder.write("s.txt", "0123456789");
    HANDLE h = open("s.txt", GENERIC_READ, OPEN_EXISTING);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    EXPECT_EQ(SetFilePointer(h, 0, nullptr, FILE_END), 10u);
    EXPECT_EQ(SetFilePointer(h, -4, nullptr, FILE_CURRENT), 6u);
    char c = 0;
    DWORD n = 0;
    ASSERT_TRUE(ReadFile(h, &c, 1, &n, nullptr));
    EXPECT_EQ(c, '6');
    EXPECT_EQ(SetFilePointer(h, 0, nullptr, FILE_CURRENT), 7u);

    // Before the start: refused, the position is unchanged.
    EXPECT_EQ(SetFilePointer(h, -8, nullptr, FILE_CURRENT), INVALID_SET_FILE_POINTER);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_NEGATIVE_SEEK));
    EXPECT_EQ(SetFilePointer(h, -1, nullptr, FILE_BEGIN), INVALID_SET_FILE_POINTER);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_NEGATIVE_SEEK));
    EXPECT_EQ(SetFilePointer(h, 0, nullptr, FILE_CURRENT), 7u);

    // Past the end is allowed, up to 2 GiB - 1 without the high part.
    EXPECT_EQ(SetFilePointer(h, 0x7FFFFFFF, nullptr, FILE_BEGIN), 0x7FFFFFFFu);
    EXPECT_EQ(SetFilePointer(h, 1, nullptr, FILE_CURRENT), INVALID_SET_FILE_POINTER);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_NEGATIVE_SEEK));
    EXPECT_EQ(SetFilePointer(h, 0x7FFFFFF8, nullptr, FILE_END), INVALID_SET_FILE_POINTER);
    EXPECT_EQ(SetFilePointer(h, 0, nullptr, FILE_CURRENT), 0x7FFFFFFFu);

    // With the high part, 64-bit positions.
    LONG high = 1;
    EXPECT_EQ(SetFilePointer(h, 5, &high, FILE_BEGIN), 5u);
    EXPECT_EQ(high, 1);
    EXPECT_EQ(SetFilePointer(h, 0, nullptr, FILE_CURRENT), INVALID_SET_FILE_POINTER);
    high = -1;
    EXPECT_EQ(SetFilePointer(h, -1, &high, FILE_BEGIN), INVALID_SET_FILE_POINTER);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_NEGATIVE_SEEK));

    EXPECT_EQ(SetFilePointer(h, 0, nullptr, 7), INVALID_SET_FILE_POINTER);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
    DWORD sizeHigh = 9;
    EXPECT_EQ(GetFileSize(h, &sizeHigh), 10u);
    EXPECT_EQ(sizeHigh, 0u);
    CloseHandle(h);
}

TEST_F(Files, TheNthCallFailsWhenInjected)
{
    folder.write("f.txt", "abcdef");
    HANDLE h = open("f.txt", GENERIC_READ | GENERIC_WRITE, OPEN_EXISTING);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    char buffer[2];
    DWORD n = 0;

    FileFaults::failNth(FileCall::Read, 2);
    EXPECT_TRUE(ReadFile(h, buffer, 2, &n, nullptr));
    EXPECT_FALSE(ReadFile(h, buffer, 2, &n, nullptr));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_WRITE_FAULT));
    EXPECT_EQ(n, 0u);
    EXPECT_TRUE(ReadFile(h, buffer, 2, &n, nullptr)); // one failure only
    EXPECT_EQ(std::string(buffer, 2), "cd");          // the failed call moved nothing

    FileFaults::failNth(FileCall::Seek, 1, ERROR_NEGATIVE_SEEK);
    EXPECT_EQ(SetFilePointer(h, 0, nullptr, FILE_BEGIN), INVALID_SET_FILE_POINTER);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_NEGATIVE_SEEK));
    EXPECT_EQ(SetFilePointer(h, 0, nullptr, FILE_CURRENT), 4u);

    FileFaults::failNth(FileCall::Write, 3, ERROR_DISK_FULL);
    EXPECT_TRUE(WriteFile(h, "1", 1, &n, nullptr));
    EXPECT_TRUE(WriteFile(h, "2", 1, &n, nullptr));
    EXPECT_FALSE(WriteFile(h, "3", 1, &n, nullptr));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_DISK_FULL));
    EXPECT_EQ(n, 0u);

    FileFaults::failNth(FileCall::Flush, 1);
    EXPECT_FALSE(FlushFileBuffers(h));
    EXPECT_TRUE(FlushFileBuffers(h));
    CloseHandle(h);
    EXPECT_EQ(folder.read("f.txt"), "abcd12");

    // Cleared faults and a reset profile fail nothing.
    FileFaults::failNth(FileCall::Read, 1);
    platform::DeviceProfile::reset();
    h = open("f.txt", GENERIC_READ, OPEN_EXISTING);
    EXPECT_TRUE(ReadFile(h, buffer, 2, &n, nullptr));
    CloseHandle(h);
}

TEST_F(Files, DeleteFileRemovesFilesOnly)
{
    folder.write("gone.txt", "x");
    folder.write("dir/keep.txt", "y");
    EXPECT_TRUE(DeleteFileW(platformName("gone.txt").c_str()));
    EXPECT_FALSE(DeleteFileW(platformName("gone.txt").c_str()));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_FILE_NOT_FOUND));
    EXPECT_FALSE(DeleteFileW(platformName("dir").c_str()));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_ACCESS_DENIED));
    EXPECT_EQ(folder.read("dir/keep.txt"), "y");
}

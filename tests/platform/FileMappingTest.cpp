#include "DeviceFixture.h"
#include "TempFolder.h"
#include "platform/HandleTable.h"
#include "platform/PathMapping.h"
#include "platform/files.h"

#include <gtest/gtest.h>

#include <cstring>
#include <unistd.h>

namespace {

class FileMapping : public DeviceTest
{
  protected:
    HANDLE openForMapping(const std::string& name)
    {
        std::u16string path;
        platform::PathMapping::toPlatform(folder.path() + "/" + name, path);
        return CreateFileForMappingW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                     OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    }
    testsupport::TempFolder folder;
};

} // namespace

TEST_F(FileMapping, WholeFileViewHoldsItsBytesAfterTheHandlesClose)
{
    std::string bytes("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16);
    std::string path = folder.write("image.png", bytes);
    size_t views = platform::openViewCount();
    size_t handles = platform::HandleTable::openCount();

    HANDLE file = openForMapping("image.png");
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    HANDLE mapping = CreateFileMappingW(file, nullptr, PAGE_READONLY, 0, 0, nullptr);
    ASSERT_NE(mapping, nullptr);
    auto* view = static_cast<const char*>(MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, 0));
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(GetFileSize(file, nullptr), 16u);
    CloseHandle(mapping);
    CloseHandle(file);
    EXPECT_EQ(platform::HandleTable::openCount(), handles);

    // Someone truncates the file: the private view still reads safely.
    ASSERT_EQ(truncate(path.c_str(), 0), 0);
    EXPECT_EQ(std::memcmp(view, bytes.data(), bytes.size()), 0);
    EXPECT_EQ(platform::openViewCount(), views + 1);
    EXPECT_TRUE(UnmapViewOfFile(view));
    EXPECT_EQ(platform::openViewCount(), views);
    EXPECT_FALSE(UnmapViewOfFile(view)); // twice
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
}

TEST_F(FileMapping, EmptyFileCannotBeMapped)
{
    folder.write("empty.png", "");
    HANDLE file = openForMapping("empty.png");
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    EXPECT_EQ(CreateFileMappingW(file, nullptr, PAGE_READONLY, 0, 0, nullptr), nullptr);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_FILE_INVALID));
    CloseHandle(file);
}

TEST_F(FileMapping, PartialViewsAndBadRequests)
{
    folder.write("data.bin", "0123456789");
    HANDLE file = openForMapping("data.bin");
    // Writable or growing mappings of a read-only file are refused.
    EXPECT_EQ(CreateFileMappingW(file, nullptr, 0x04 /* PAGE_READWRITE */, 0, 0, nullptr), nullptr);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
    EXPECT_EQ(CreateFileMappingW(file, nullptr, PAGE_READONLY, 0, 11, nullptr), nullptr);

    HANDLE mapping = CreateFileMappingW(file, nullptr, PAGE_READONLY, 0, 0, nullptr);
    ASSERT_NE(mapping, nullptr);
    auto* part = static_cast<const char*>(MapViewOfFile(mapping, FILE_MAP_READ, 0, 3, 4));
    ASSERT_NE(part, nullptr);
    EXPECT_EQ(std::string(part, 4), "3456");
    auto* tail = static_cast<const char*>(MapViewOfFile(mapping, FILE_MAP_READ, 0, 7, 0));
    ASSERT_NE(tail, nullptr);
    EXPECT_EQ(std::string(tail, 3), "789");

    EXPECT_EQ(MapViewOfFile(mapping, FILE_MAP_READ, 0, 10, 0), nullptr);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
    EXPECT_EQ(MapViewOfFile(mapping, FILE_MAP_READ, 0, 8, 3), nullptr);
    EXPECT_EQ(MapViewOfFile(mapping, FILE_MAP_READ, 1, 0, 0), nullptr);
    EXPECT_EQ(MapViewOfFile(mapping, 0x0002 /* FILE_MAP_WRITE */, 0, 0, 0), nullptr);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_ACCESS_DENIED));
    // A file handle is not a mapping handle.
    EXPECT_EQ(MapViewOfFile(file, FILE_MAP_READ, 0, 0, 0), nullptr);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_HANDLE));

    EXPECT_TRUE(UnmapViewOfFile(part));
    EXPECT_TRUE(UnmapViewOfFile(tail));
    EXPECT_FALSE(UnmapViewOfFile(nullptr));
    CloseHandle(mapping);
    CloseHandle(file);
}

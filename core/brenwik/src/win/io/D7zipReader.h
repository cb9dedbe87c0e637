// One pass of the 7z decoder (libarchive) over an open archive file. The file is read through the
// layer's file calls into one shared 4096-byte buffer; the decoder seeks where it needs to, so
// entries before the wanted one are passed over without being decoded.
#pragma once

#include "platform/wintypes.h"

#include <cstdint>
#include <string>
#include <sys/types.h>

struct archive;

namespace qev::io::detail {

struct D7zipEntryInfo
{
    std::string name; // 8-bit (UTF-8) name as stored; empty when it cannot be converted
    int64_t size = 0;
    bool directory = false;
};

// An archive made up for the decoder: `prefix`, then `length` bytes of the file from `offset`,
// then `suffix`.
struct D7zipVirtualArchive
{
    std::string prefix;
    uint64_t offset = 0;
    uint64_t length = 0;
    std::string suffix;
};

class D7zipReader
{
  public:
    // Reads the file itself, or the made-up archive `layout` over it (kept by the caller).
    explicit D7zipReader(HANDLE file, const D7zipVirtualArchive* layout = nullptr)
        : m_file(file), m_virtual(layout)
    {
    }
    ~D7zipReader();
    D7zipReader(const D7zipReader&) = delete;
    D7zipReader& operator=(const D7zipReader&) = delete;

    // Reads the archive's headers from the start of the file; false when it is no 7z archive or
    // is damaged.
    bool begin();
    // The next entry's header: 1 with `info` filled, 0 after the last entry, -1 when damaged.
    int next(D7zipEntryInfo& info);
    // Decodes the current entry, which must hold exactly `size` bytes, into `out` (a malloc
    // block the caller frees; null for size 0). False on any decoding error, a CRC mismatch or
    // a size other than announced; nothing is allocated then.
    bool readCurrent(int64_t size, char*& out);

    // Bytes of the archive file read so far through the callbacks (for tests and benchmarks).
    uint64_t bytesRead() const { return m_bytesRead; }

  private:
    static ssize_t readCallback(struct archive*, void* self, const void** buffer);
    static int64_t seekCallback(struct archive*, void* self, int64_t offset, int whence);

    size_t readVirtual();

    HANDLE m_file;
    const D7zipVirtualArchive* m_virtual;
    uint64_t m_position = 0; // in the made-up archive
    struct archive* m_archive = nullptr;
    uint64_t m_bytesRead = 0;
};

} // namespace qev::io::detail

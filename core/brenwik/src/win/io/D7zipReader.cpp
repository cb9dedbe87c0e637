#include "io/D7zipReader.h"

#include "platform/files.h"

#include <archive.h>
#include <archive_entry.h>

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace qev::io::detail {

namespace {

// The one read buffer of the archive code: the decoder copies what it keeps, so a single buffer
// serves every pass (all on the main thread).
unsigned char s_readBuffer[4096];

bool filePosition(HANDLE file, int64_t distance, DWORD method, int64_t& position)
{
    LONG high = static_cast<LONG>(distance >> 32);
    SetLastError(ERROR_SUCCESS);
    DWORD low = SetFilePointer(file, static_cast<LONG>(distance & 0xFFFFFFFF), &high, method);
    if (low == INVALID_SET_FILE_POINTER && GetLastError() != ERROR_SUCCESS)
        return false;
    position = (static_cast<int64_t>(high) << 32) | low;
    return true;
}

// The entry's name in UTF-8. Names in the locale's form come without a conversion and are taken
// as they are when plain ASCII (the only names the data uses); asking for UTF-8 directly would
// set up a character-set conversion for every entry.
std::string entryName(struct archive_entry* entry)
{
    if (const char* name = archive_entry_pathname(entry)) {
        bool ascii = true;
        for (const char* p = name; *p && ascii; ++p)
            ascii = static_cast<unsigned char>(*p) < 0x80;
        if (ascii)
            return name;
    }
    const char* utf8 = archive_entry_pathname_utf8(entry);
    return utf8 ? utf8 : "";
}

} // namespace

D7zipReader::~D7zipReader()
{
    if (m_archive)
        archive_read_free(m_archive);
}

size_t D7zipReader::readVirtual()
{
    const D7zipVirtualArchive& v = *m_virtual;
    uint64_t fileEnd = v.prefix.size() + v.length;
    uint64_t total = fileEnd + v.suffix.size();
    size_t got = 0;
    while (got < sizeof s_readBuffer && m_position < total) {
        size_t n = 0;
        if (m_position < v.prefix.size()) {
            n = std::min<size_t>(sizeof s_readBuffer - got, v.prefix.size() - m_position);
            std::memcpy(s_readBuffer + got, v.prefix.data() + m_position, n);
        } else if (m_position < fileEnd) {
            n = static_cast<size_t>(
                std::min<uint64_t>(sizeof s_readBuffer - got, fileEnd - m_position));
            int64_t ignored = 0;
            DWORD read = 0;
            if (!filePosition(m_file, static_cast<int64_t>(v.offset + m_position - v.prefix.size()),
                              FILE_BEGIN, ignored) ||
                !ReadFile(m_file, s_readBuffer + got, static_cast<DWORD>(n), &read, nullptr) ||
                read == 0)
                break;
            n = read;
        } else {
            n = std::min<size_t>(sizeof s_readBuffer - got, total - m_position);
            std::memcpy(s_readBuffer + got, v.suffix.data() + (m_position - fileEnd), n);
        }
        got += n;
        m_position += n;
    }
    return got;
}

ssize_t D7zipReader::readCallback(struct archive*, void* self, const void** buffer)
{
    auto* reader = static_cast<D7zipReader*>(self);
    DWORD got = 0;
    if (reader->m_virtual) {
        got = static_cast<DWORD>(reader->readVirtual());
    } else if (!ReadFile(reader->m_file, s_readBuffer, sizeof s_readBuffer, &got, nullptr)) {
        // A failed read reports no bytes: the decoder then finds the archive cut short and
        // fails.
        got = 0;
    }
    reader->m_bytesRead += got;
    *buffer = s_readBuffer;
    return static_cast<ssize_t>(got);
}

int64_t D7zipReader::seekCallback(struct archive*, void* self, int64_t offset, int whence)
{
    auto* reader = static_cast<D7zipReader*>(self);
    if (reader->m_virtual) {
        const D7zipVirtualArchive& v = *reader->m_virtual;
        int64_t total = static_cast<int64_t>(v.prefix.size() + v.length + v.suffix.size());
        int64_t base = whence == SEEK_SET   ? 0
                       : whence == SEEK_CUR ? static_cast<int64_t>(reader->m_position)
                                            : total;
        if (offset < -base || offset > INT64_MAX - base)
            return ARCHIVE_FATAL;
        reader->m_position = static_cast<uint64_t>(base + offset);
        return base + offset;
    }
    DWORD method = whence == SEEK_SET ? FILE_BEGIN : whence == SEEK_CUR ? FILE_CURRENT : FILE_END;
    int64_t position = 0;
    if (!filePosition(reader->m_file, offset, method, position))
        return ARCHIVE_FATAL;
    return position;
}

bool D7zipReader::begin()
{
    int64_t position = 0;
    m_position = 0;
    if (!m_virtual && !filePosition(m_file, 0, FILE_BEGIN, position))
        return false;
    m_archive = archive_read_new();
    if (!m_archive)
        return false;
    if (archive_read_support_format_7zip(m_archive) != ARCHIVE_OK ||
        archive_read_set_read_callback(m_archive, &D7zipReader::readCallback) != ARCHIVE_OK ||
        archive_read_set_seek_callback(m_archive, &D7zipReader::seekCallback) != ARCHIVE_OK ||
        archive_read_set_callback_data(m_archive, this) != ARCHIVE_OK)
        return false;
    return archive_read_open1(m_archive) == ARCHIVE_OK;
}

int D7zipReader::next(D7zipEntryInfo& info)
{
    struct archive_entry* entry = nullptr;
    int r = archive_read_next_header(m_archive, &entry);
    if (r == ARCHIVE_EOF)
        return 0;
    // A warning (a name the locale cannot show) still gives a usable entry.
    if (r != ARCHIVE_OK && r != ARCHIVE_WARN)
        return -1;
    info.name = entryName(entry);
    info.size = archive_entry_size_is_set(entry) ? archive_entry_size(entry) : 0;
    info.directory = archive_entry_filetype(entry) == AE_IFDIR;
    return 1;
}

bool D7zipReader::readCurrent(int64_t size, char*& out)
{
    out = nullptr;
    if (size < 0 || static_cast<uint64_t>(size) > SIZE_MAX)
        return false;
    // The buffer grows with the bytes actually decoded, so a damaged header that announces a
    // huge entry costs no more memory than the data behind it.
    constexpr size_t kFirstChunk = size_t(1) << 20;
    size_t capacity = 0;
    char* data = nullptr;
    int64_t filled = 0;
    for (;;) {
        const void* block = nullptr;
        size_t blockSize = 0;
        la_int64_t offset = 0;
        int r = archive_read_data_block(m_archive, &block, &blockSize, &offset);
        if (r == ARCHIVE_EOF)
            break;
        // ARCHIVE_WARN is how the decoder reports an entry whose CRC does not match.
        if (r != ARCHIVE_OK || offset != filled ||
            blockSize > static_cast<uint64_t>(size - filled)) {
            std::free(data);
            return false;
        }
        size_t needed = static_cast<size_t>(filled) + blockSize;
        if (needed > capacity) {
            size_t grown = capacity ? capacity * 2 : kFirstChunk;
            if (grown < needed)
                grown = needed;
            if (grown > static_cast<size_t>(size))
                grown = static_cast<size_t>(size);
            char* bigger = static_cast<char*>(std::realloc(data, grown));
            if (!bigger) {
                std::free(data);
                return false;
            }
            data = bigger;
            capacity = grown;
        }
        if (blockSize > 0)
            std::memcpy(data + filled, block, blockSize);
        filled += static_cast<int64_t>(blockSize);
    }
    if (filled != size) {
        std::free(data);
        return false;
    }
    out = data;
    return true;
}

} // namespace qev::io::detail

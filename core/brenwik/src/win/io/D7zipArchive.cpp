#include "io/D7zipArchive.h"

#include "io/D7zipReader.h"
#include "io/DFileInputStream.h"
#include "lang/DExceptionBase.h"
#include "platform/PathMapping.h"
#include "platform/files.h"
#include "platform/text.h"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace qev::io::detail {

using namespace qev::lang;

D7zipArchive& D7zipArchive::instance()
{
    static D7zipArchive archive;
    return archive;
}

D7zipArchive::~D7zipArchive()
{
    close();
}

bool D7zipArchive::storedName(const DString& name, std::string& out)
{
    std::u16string text(name.chars(), static_cast<size_t>(name.length()));
    for (char16_t& c : text) {
        if (c == u'\\')
            c = u'/';
    }
    if (!text.empty() && text.front() == u'/')
        text.erase(0, 1);
    return platform::utf16ToUtf8(text, out);
}

namespace {

// Headers larger than this are not read a second time; the entry list serves instead.
constexpr uint64_t kMaxHeaderSize = 64u << 20;

int64_t fileSize(HANDLE file)
{
    DWORD high = 0;
    SetLastError(ERROR_SUCCESS);
    DWORD low = GetFileSize(file, &high);
    if (low == INVALID_FILE_SIZE && GetLastError() != ERROR_SUCCESS)
        return -1;
    return (static_cast<int64_t>(high) << 32) | low;
}

// IOException whose message says what is wrong with which file: "<problem>: <path>", the path
// shortened at its start when the whole does not fit.
[[noreturn]] void failToOpen(const std::string& problem, const std::string& path)
{
    std::u16string wideProblem, widePath;
    platform::utf8ToUtf16(problem + ": ", wideProblem);
    if (!platform::utf8ToUtf16(path, widePath))
        widePath = u"?";
    const size_t room = DExceptionBase::kMessageUnits - 1;
    if (wideProblem.size() + widePath.size() > room) {
        size_t keep = room > wideProblem.size() + 3 ? room - wideProblem.size() - 3 : 0;
        widePath = u"..." + widePath.substr(widePath.size() - std::min(keep, widePath.size()));
    }
    std::u16string text = (wideProblem + widePath).substr(0, room);
    auto* e = new DExceptionBase;
    e->code = ExceptionCode::IOException;
    std::memcpy(e->message, text.data(), text.size() * sizeof(char16_t));
    e->message[text.size()] = 0;
    throw e;
}

// Only a regular file is opened: a pipe or a device in the archive's place would block the start
// or never end. Looked at before opening, so that nothing is opened that could block.
void requireRegularFile(const DStringPtr& path, std::string& shown)
{
    std::string posix;
    if (platform::PathMapping::toPosix(path->chars(), posix) != ERROR_SUCCESS) {
        platform::utf16ToUtf8(std::u16string_view(path->chars(), path->length()), shown);
        failToOpen("game data has an unusable name", shown);
    }
    shown = posix;
    struct stat st;
    if (::stat(posix.c_str(), &st) != 0) {
        if (errno == ENOENT || errno == ENOTDIR)
            failToOpen("game data missing", shown);
        failToOpen(std::string("game data unreadable (") + std::strerror(errno) + ")", shown);
    }
    if (!S_ISREG(st.st_mode))
        failToOpen("game data is not a regular file", shown);
}

} // namespace

void D7zipArchive::open(const DStringPtr& name)
{
    close();
    DStringPtr path = programFilePath(name, true);
    std::string shown;
    requireRegularFile(path, shown);
    HANDLE file = CreateFileW(path->chars(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        failToOpen("game data cannot be opened", shown);

    std::vector<D7zipEntryInfo> listing;
    bool ok = false;
    {
        D7zipReader reader(file);
        if (reader.begin()) {
            D7zipEntryInfo info;
            int r = 0;
            while ((r = reader.next(info)) == 1)
                listing.push_back(info);
            ok = r == 0;
        }
    }
    if (!ok) {
        CloseHandle(file);
        failToOpen("game data damaged or not an archive", shown);
    }
    std::vector<D7zipIndex::Entry> entries;
    for (size_t k = 0; k < listing.size(); ++k) {
        if (!listing[k].directory)
            entries.push_back({listing[k].name, static_cast<uint32_t>(k), listing[k].size});
    }
    m_file = file;
    m_index.build(std::move(entries));
    loadLayout(listing);
    m_open = true;
}

void D7zipArchive::close()
{
    if (m_file)
        CloseHandle(m_file);
    m_file = nullptr;
    m_index.clear();
    m_layout = D7zipLayout{};
    m_packOffsets.clear();
    m_open = false;
}

bool D7zipArchive::readFileRange(uint64_t offset, uint64_t size, std::string& out) const
{
    LONG high = static_cast<LONG>(offset >> 32);
    SetLastError(ERROR_SUCCESS);
    DWORD low = SetFilePointer(m_file, static_cast<LONG>(offset & 0xFFFFFFFF), &high, FILE_BEGIN);
    if (low == INVALID_SET_FILE_POINTER && GetLastError() != ERROR_SUCCESS)
        return false;
    out.resize(static_cast<size_t>(size));
    DWORD got = 0;
    return ReadFile(m_file, out.data(), static_cast<DWORD>(size), &got, nullptr) && got == size;
}

bool D7zipArchive::decodeFolder(const D7zipStreams& streams, const D7zipFolder& f, bool crcDefined,
                                uint32_t crc, int64_t size, char*& out) const
{
    uint64_t offset = kSignatureHeaderSize + streams.packPos;
    for (uint32_t i = 0; i < f.firstPackStream; ++i)
        offset += streams.packSizes[i];
    D7zipVirtualArchive archive;
    archive.offset = offset;
    for (uint32_t i = 0; i < f.packStreams; ++i)
        archive.length += streams.packSizes[f.firstPackStream + i];
    buildSingleFileArchive(streams, f, u"e", crcDefined, crc, archive.prefix, archive.suffix);
    D7zipReader reader(m_file, &archive);
    D7zipEntryInfo info;
    return reader.begin() && reader.next(info) == 1 && info.size == size &&
           reader.readCurrent(size, out);
}

void D7zipArchive::loadLayout(const std::vector<D7zipEntryInfo>& listing)
{
    int64_t total = fileSize(m_file);
    std::string bytes;
    uint64_t offset = 0;
    uint64_t size = 0;
    uint32_t crc = 0;
    if (total < 0 || !readFileRange(0, kSignatureHeaderSize, bytes) ||
        !parseSignatureHeader(bytes, offset, size, crc) || size == 0 || size > kMaxHeaderSize ||
        offset > static_cast<uint64_t>(total) ||
        kSignatureHeaderSize + offset + size > static_cast<uint64_t>(total) ||
        !readFileRange(kSignatureHeaderSize + offset, size, bytes) ||
        crc32(bytes.data(), bytes.size()) != crc)
        return;
    D7zipLayout layout;
    // A packed header is itself a block: decode it the same way, then read what it holds.
    for (int depth = 0; depth < 4; ++depth) {
        D7zipStreams encoded;
        int kind = parseHeader(bytes, layout, encoded);
        if (kind == 1)
            break;
        if (kind != 2 || encoded.folders.size() != 1 || encoded.folders[0].size > kMaxHeaderSize)
            return;
        const D7zipFolder& f = encoded.folders[0];
        char* decoded = nullptr;
        if (!decodeFolder(encoded, f, f.crcDefined, f.crc, static_cast<int64_t>(f.size), decoded))
            return;
        bytes.assign(decoded, static_cast<size_t>(f.size));
        std::free(decoded);
        if (depth == 3)
            return;
    }
    // Use the layout only where it names the same entries with the same sizes.
    if (layout.files.size() != listing.size())
        return;
    for (size_t k = 0; k < listing.size(); ++k) {
        std::string name;
        const D7zipFileRecord& f = layout.files[k];
        // The decoder shows folders with a trailing "/".
        if (!platform::utf16ToUtf8(f.name, name) ||
            (name != listing[k].name && !(listing[k].directory && name + "/" == listing[k].name)) ||
            (!listing[k].directory && static_cast<int64_t>(f.size) != listing[k].size))
            return;
    }
    m_packOffsets.clear();
    uint64_t packOffset = kSignatureHeaderSize + layout.streams.packPos;
    for (uint64_t s : layout.streams.packSizes) {
        m_packOffsets.push_back(packOffset);
        packOffset += s;
    }
    m_layout = std::move(layout);
}

bool D7zipArchive::hasDirectPath(uint32_t number) const
{
    return number < m_layout.files.size() && m_layout.files[number].folder >= 0;
}

bool D7zipArchive::extractDirect(const D7zipIndex::Entry& entry, char*& data) const
{
    const D7zipFileRecord& file = m_layout.files[entry.number];
    const D7zipFolder& folder = m_layout.streams.folders[static_cast<size_t>(file.folder)];
    return decodeFolder(m_layout.streams, folder, file.crcDefined, file.crc, entry.size, data);
}

bool D7zipArchive::extractByListing(const D7zipIndex::Entry& entry, char*& data) const
{
    D7zipReader reader(m_file);
    if (!reader.begin())
        return false;
    D7zipEntryInfo info;
    for (uint32_t i = 0; i <= entry.number; ++i) {
        if (reader.next(info) != 1)
            return false;
    }
    // The file changed under the index: refuse rather than hand out another entry's bytes.
    if (info.name != entry.name || info.size != entry.size || info.directory)
        return false;
    return reader.readCurrent(entry.size, data);
}

bool D7zipArchive::holds(const DStringPtr& name) const
{
    std::string wanted;
    return m_open && name && storedName(*name, wanted) && m_index.find(wanted) != nullptr;
}

char* D7zipArchive::extract(const DStringPtr& name, int64_t& size)
{
    // The entry's name goes into the message, so that whoever sees the failure knows what the
    // game data lacks.
    const std::u16string_view named(name->chars(), static_cast<size_t>(name->length()));
    if (!m_open)
        throwException(ExceptionCode::IOException, u"no game data for " + std::u16string(named));
    std::string wanted;
    const D7zipIndex::Entry* entry = storedName(*name, wanted) ? m_index.find(wanted) : nullptr;
    if (!entry)
        throwException(ExceptionCode::IOException, u"no entry " + std::u16string(named));
    // An entry too large for the stream's 32-bit size cannot be opened.
    if (entry->size > INT32_MAX)
        throwException(ExceptionCode::IOException, u"entry too large: " + std::u16string(named));
    char* data = nullptr;
    // The direct path is only a shortcut: whatever it cannot do, the long way decides.
    if (!(hasDirectPath(entry->number) && extractDirect(*entry, data)) &&
        !extractByListing(*entry, data))
        throwException(ExceptionCode::IOException, u"cannot read entry " + std::u16string(named));
    size = entry->size;
    return data;
}

} // namespace qev::io::detail

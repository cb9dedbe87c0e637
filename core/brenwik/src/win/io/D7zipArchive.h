// The one open data archive of the program: its file, its entry index, and the extraction of an
// entry. Used by D7zipInputStream; all calls on the main thread.
#pragma once

#include "io/D7zipIndex.h"
#include "io/D7zipLayout.h"
#include "io/D7zipReader.h"
#include "lang/DString.h"
#include "platform/wintypes.h"

#include <cstdint>
#include <string>
#include <vector>

namespace qev::io::detail {

class D7zipArchive
{
  public:
    static D7zipArchive& instance();

    // See D7zipInputStream::openArchive.
    void open(const qev::lang::DStringPtr& name);
    void close();
    bool isOpen() const { return m_open; }
    // The decoded bytes of the named entry (a malloc block, null for an empty entry) and their
    // count; IOException when closed, absent or damaged.
    char* extract(const qev::lang::DStringPtr& name, int64_t& size);
    // Whether the entry list names the entry (whether or not its bytes can be decoded).
    bool holds(const qev::lang::DStringPtr& name) const;
    const D7zipIndex& index() const { return m_index; }

    // The stored form of a requested name: "\" becomes "/", one leading "/" is dropped, and the
    // text is UTF-8 (stored names are ASCII, so other characters can only miss). False for text
    // that is not valid UTF-16.
    static bool storedName(const qev::lang::DString& name, std::string& out);

    // Whether entry `number` can be extracted on its own, without reading the entry list again.
    bool hasDirectPath(uint32_t number) const;

  private:
    D7zipArchive() = default;
    ~D7zipArchive();

    // Reads the archive's header a second time, now for the places of the blocks; keeps it only
    // when it agrees with the decoder's entry list.
    void loadLayout(const std::vector<D7zipEntryInfo>& listing);
    bool readFileRange(uint64_t offset, uint64_t size, std::string& out) const;
    // Decodes folder `f` of `streams` as the single file of a made-up archive.
    bool decodeFolder(const D7zipStreams& streams, const D7zipFolder& f, bool crcDefined,
                      uint32_t crc, int64_t size, char*& out) const;
    bool extractDirect(const D7zipIndex::Entry& entry, char*& data) const;
    bool extractByListing(const D7zipIndex::Entry& entry, char*& data) const;

    HANDLE m_file = nullptr;
    bool m_open = false;
    D7zipIndex m_index;
    D7zipLayout m_layout;                // empty when the header could not be used
    std::vector<uint64_t> m_packOffsets; // file offset of every packed stream
};

} // namespace qev::io::detail

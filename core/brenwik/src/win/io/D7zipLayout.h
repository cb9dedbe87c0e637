// Where each entry of a 7z archive lies: parsed from the archive's own header, so that one entry
// can be handed to the decoder as a small archive of its own (its block's packed bytes between
// a made-up signature header and a one-file header). The decoder then reads neither the whole
// entry list nor any other block, and still checks the entry's CRC.
//
// Only what the fast path needs is kept: blocks holding exactly one entry. Anything the parser
// does not understand leaves the layout empty, and entries are then extracted the long way.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace qev::io::detail {

constexpr size_t kSignatureHeaderSize = 32;

struct D7zipFolder
{
    std::string coders;             // the folder record as stored (coders, bind pairs, indexes)
    std::vector<uint64_t> outSizes; // unpacked size of each coder output
    uint64_t size = 0;              // the folder's final unpacked size
    uint32_t firstPackStream = 0;
    uint32_t packStreams = 0;
    uint32_t substreams = 1;
    bool crcDefined = false;
    uint32_t crc = 0;
};

struct D7zipFileRecord
{
    std::u16string name;
    bool hasStream = true;
    int64_t folder = -1; // the block, for a file that is its block's only stream
    uint64_t size = 0;
    bool crcDefined = false;
    uint32_t crc = 0;
};

struct D7zipStreams
{
    uint64_t packPos = 0;
    std::vector<uint64_t> packSizes;
    std::vector<D7zipFolder> folders;
};

struct D7zipLayout
{
    D7zipStreams streams;
    std::vector<D7zipFileRecord> files;
};

// The signature header's pointer to the header: offset after the 32 bytes, size, CRC. False when
// the bytes are no 7z signature header or its CRC fails.
bool parseSignatureHeader(std::string_view bytes, uint64_t& offset, uint64_t& size, uint32_t& crc);

// Parses a plain header (first byte 0x01) into `layout`, or an encoded one (0x17) into
// `encoded`, the streams of the packed header. Returns 1 for a header, 2 for an encoded header,
// 0 for anything else.
int parseHeader(std::string_view bytes, D7zipLayout& layout, D7zipStreams& encoded);

// A complete archive but for the packed bytes: the signature header (`prefix`, 32 bytes) and the
// header (`suffix`), for one file named `name` holding folder `f` of `streams`, whose packed
// streams are to sit right after the signature header.
void buildSingleFileArchive(const D7zipStreams& streams, const D7zipFolder& f,
                            std::u16string_view name, bool crcDefined, uint32_t crc,
                            std::string& prefix, std::string& suffix);

uint32_t crc32(const void* data, size_t size, uint32_t crc = 0);

} // namespace qev::io::detail

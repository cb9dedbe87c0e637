// Arbitrary bytes as a 7z header (plain or packed): the parser behind direct entry extraction
// must give a layout or refuse, and a made-up archive for any block it accepts must be buildable.
#include "io/D7zipLayout.h"

#include <string>
#include <string_view>

using namespace qev::io::detail;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string_view bytes(reinterpret_cast<const char*>(data), size);
    D7zipLayout layout;
    D7zipStreams encoded;
    int kind = parseHeader(bytes, layout, encoded);
    if (kind == 0 &&
        (!layout.files.empty() || !layout.streams.folders.empty() || !encoded.folders.empty()))
        __builtin_trap();
    const D7zipStreams& streams = kind == 2 ? encoded : layout.streams;
    for (const D7zipFolder& f : streams.folders) {
        if (f.firstPackStream + f.packStreams > streams.packSizes.size())
            __builtin_trap();
        std::string prefix;
        std::string suffix;
        buildSingleFileArchive(streams, f, u"e", f.crcDefined, f.crc, prefix, suffix);
        uint64_t offset = 0;
        uint64_t headerSize = 0;
        uint32_t crc = 0;
        if (!parseSignatureHeader(prefix, offset, headerSize, crc) || headerSize != suffix.size() ||
            crc32(suffix.data(), suffix.size()) != crc)
            __builtin_trap();
        // The made-up header must read back as one file in one block.
        D7zipLayout single;
        D7zipStreams unused;
        if (parseHeader(suffix, single, unused) != 1 || single.files.size() != 1 ||
            single.files[0].folder != 0 || single.files[0].size != f.size)
            __builtin_trap();
    }
    return 0;
}

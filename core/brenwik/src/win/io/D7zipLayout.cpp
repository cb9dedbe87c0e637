#include "io/D7zipLayout.h"

#include <array>

namespace qev::io::detail {

namespace {

// Property ids of the 7z header.
enum : uint8_t {
    kEnd = 0x00,
    kHeader = 0x01,
    kArchiveProperties = 0x02,
    kAdditionalStreamsInfo = 0x03,
    kMainStreamsInfo = 0x04,
    kFilesInfo = 0x05,
    kPackInfo = 0x06,
    kUnpackInfo = 0x07,
    kSubStreamsInfo = 0x08,
    kSize = 0x09,
    kCrc = 0x0A,
    kFolder = 0x0B,
    kCodersUnpackSize = 0x0C,
    kNumUnpackStream = 0x0D,
    kEmptyStream = 0x0E,
    kName = 0x11,
    kEncodedHeader = 0x17,
};

constexpr uint8_t kSignature[6] = {'7', 'z', 0xBC, 0xAF, 0x27, 0x1C};

// More files, blocks or streams than this are no game data; the entry list serves instead.
constexpr uint64_t kMaxItems = 1000000;

// Reads the header's fields; any read past the end or any implausible count sets failed and
// yields zeros from then on.
class Cursor
{
  public:
    explicit Cursor(std::string_view bytes) : m_bytes(bytes) {}

    bool failed() const { return m_failed; }
    void fail() { m_failed = true; }
    size_t position() const { return m_pos; }
    size_t remaining() const { return m_failed ? 0 : m_bytes.size() - m_pos; }

    uint8_t byte()
    {
        if (m_failed || m_pos >= m_bytes.size()) {
            m_failed = true;
            return 0;
        }
        return static_cast<uint8_t>(m_bytes[m_pos++]);
    }
    // The format's variable-length number: leading one bits of the first byte count the bytes
    // that follow (little-endian); the rest of the first byte is the top part.
    uint64_t number()
    {
        uint8_t first = byte();
        uint8_t mask = 0x80;
        uint64_t value = 0;
        for (int i = 0; i < 8; ++i) {
            if ((first & mask) == 0)
                return value | (static_cast<uint64_t>(first & (mask - 1)) << (8 * i));
            value |= static_cast<uint64_t>(byte()) << (8 * i);
            mask >>= 1;
        }
        return value;
    }
    // A count of items that each take at least a byte (or a bit, with bits set): never more
    // than the bytes left can hold.
    uint64_t count(bool bits = false)
    {
        uint64_t n = number();
        uint64_t room = bits ? uint64_t(remaining()) * 8 + 8 : remaining() + 1;
        if (n > room || n > kMaxItems)
            m_failed = true;
        return m_failed ? 0 : n;
    }
    uint32_t u32()
    {
        uint32_t v = 0;
        for (int i = 0; i < 4; ++i)
            v |= static_cast<uint32_t>(byte()) << (8 * i);
        return v;
    }
    std::string_view take(uint64_t n)
    {
        if (m_failed || n > m_bytes.size() - m_pos) {
            m_failed = true;
            return {};
        }
        std::string_view out = m_bytes.substr(m_pos, static_cast<size_t>(n));
        m_pos += static_cast<size_t>(n);
        return out;
    }
    void expect(uint8_t id)
    {
        if (byte() != id)
            m_failed = true;
    }

  private:
    std::string_view m_bytes;
    size_t m_pos = 0;
    bool m_failed = false;
};

std::vector<bool> readBits(Cursor& c, size_t n)
{
    std::vector<bool> bits(n);
    uint8_t current = 0;
    for (size_t i = 0; i < n && !c.failed(); ++i) {
        if (i % 8 == 0)
            current = c.byte();
        bits[i] = (current & (0x80 >> (i % 8))) != 0;
    }
    return bits;
}

// CRCs of n items: all defined, or a bit vector of the defined ones.
void readDigests(Cursor& c, size_t n, std::vector<bool>& defined, std::vector<uint32_t>& crcs)
{
    uint8_t allDefined = c.byte();
    defined = allDefined ? std::vector<bool>(n, true) : readBits(c, n);
    crcs.assign(n, 0);
    for (size_t i = 0; i < n && !c.failed(); ++i) {
        if (defined[i])
            crcs[i] = c.u32();
    }
}

struct FolderShape
{
    size_t outputs = 0;
    size_t mainOutput = 0;
};

FolderShape readFolder(Cursor& c, D7zipFolder& f)
{
    FolderShape shape;
    uint64_t coders = c.count();
    if (coders == 0 || coders > 32)
        c.fail();
    uint64_t inputs = 0;
    uint64_t outputs = 0;
    for (uint64_t i = 0; i < coders && !c.failed(); ++i) {
        uint8_t flags = c.byte();
        if (flags & 0x80)
            c.fail(); // alternative methods are not part of the format any more
        c.take(flags & 0x0F);
        uint64_t in = 1;
        uint64_t out = 1;
        if (flags & 0x10) {
            in = c.number();
            out = c.number();
            if (in > 32 || out > 32)
                c.fail();
        }
        if (flags & 0x20)
            c.take(c.number());
        inputs += in;
        outputs += out;
    }
    if (c.failed() || outputs == 0 || outputs - 1 > inputs) {
        c.fail();
        return shape;
    }
    std::vector<bool> bound(outputs, false);
    for (uint64_t i = 0; i + 1 < outputs && !c.failed(); ++i) {
        uint64_t in = c.number();
        uint64_t out = c.number();
        if (in >= inputs || out >= outputs || bound[out]) {
            c.fail();
            return shape;
        }
        bound[out] = true;
    }
    uint64_t packed = inputs - (outputs - 1);
    if (packed == 0) {
        c.fail();
        return shape;
    }
    if (packed > 1) {
        for (uint64_t i = 0; i < packed; ++i) {
            if (c.number() >= inputs)
                c.fail();
        }
    }
    for (size_t i = 0; i < outputs; ++i) {
        if (!bound[i])
            shape.mainOutput = i;
    }
    shape.outputs = static_cast<size_t>(outputs);
    f.packStreams = static_cast<uint32_t>(packed);
    return shape;
}

struct Substream
{
    size_t folder = 0;
    uint64_t size = 0;
    bool crcDefined = false;
    uint32_t crc = 0;
};

bool readStreamsInfo(Cursor& c, std::string_view bytes, D7zipStreams& s,
                     std::vector<Substream>& subs)
{
    uint8_t id = c.byte();
    if (id == kPackInfo) {
        s.packPos = c.number();
        uint64_t n = c.count();
        s.packSizes.assign(static_cast<size_t>(n), 0);
        for (uint8_t part = c.byte(); part != kEnd && !c.failed(); part = c.byte()) {
            if (part == kSize) {
                for (uint64_t& size : s.packSizes)
                    size = c.number();
            } else if (part == kCrc) {
                std::vector<bool> defined;
                std::vector<uint32_t> crcs;
                readDigests(c, s.packSizes.size(), defined, crcs);
            } else {
                c.fail();
            }
        }
        id = c.byte();
    }
    std::vector<FolderShape> shapes;
    if (id == kUnpackInfo) {
        c.expect(kFolder);
        uint64_t n = c.count();
        if (c.byte() != 0)
            c.fail(); // folders kept elsewhere in the archive
        s.folders.assign(static_cast<size_t>(n), D7zipFolder{});
        uint32_t packIndex = 0;
        for (D7zipFolder& f : s.folders) {
            size_t start = c.position();
            shapes.push_back(readFolder(c, f));
            if (c.failed())
                return false;
            f.coders.assign(bytes.substr(start, c.position() - start));
            f.firstPackStream = packIndex;
            packIndex += f.packStreams;
            if (packIndex > s.packSizes.size())
                return false;
        }
        c.expect(kCodersUnpackSize);
        for (size_t i = 0; i < s.folders.size() && !c.failed(); ++i) {
            s.folders[i].outSizes.resize(shapes[i].outputs);
            for (uint64_t& size : s.folders[i].outSizes)
                size = c.number();
            s.folders[i].size = s.folders[i].outSizes[shapes[i].mainOutput];
        }
        for (uint8_t part = c.byte(); part != kEnd && !c.failed(); part = c.byte()) {
            if (part != kCrc)
                return false;
            std::vector<bool> defined;
            std::vector<uint32_t> crcs;
            readDigests(c, s.folders.size(), defined, crcs);
            for (size_t i = 0; i < s.folders.size() && !c.failed(); ++i) {
                s.folders[i].crcDefined = defined[i];
                s.folders[i].crc = crcs[i];
            }
        }
        id = c.byte();
    }
    subs.clear();
    if (id == kSubStreamsInfo) {
        uint8_t part = c.byte();
        if (part == kNumUnpackStream) {
            for (D7zipFolder& f : s.folders) {
                uint64_t n = c.count();
                f.substreams = static_cast<uint32_t>(n);
            }
            part = c.byte();
        }
        for (size_t i = 0; i < s.folders.size() && !c.failed(); ++i) {
            const D7zipFolder& f = s.folders[i];
            uint64_t used = 0;
            for (uint32_t k = 0; k < f.substreams && !c.failed(); ++k) {
                Substream sub{i, 0, false, 0};
                if (k + 1 < f.substreams) {
                    if (part != kSize)
                        return false;
                    sub.size = c.number();
                    used += sub.size;
                    if (used > f.size)
                        return false;
                } else {
                    sub.size = f.size - used;
                }
                if (f.substreams == 1 && f.crcDefined) {
                    sub.crcDefined = true;
                    sub.crc = f.crc;
                }
                if (subs.size() >= kMaxItems)
                    return false;
                subs.push_back(sub);
            }
        }
        if (part == kSize)
            part = c.byte();
        while (part != kEnd && !c.failed()) {
            if (part != kCrc)
                return false;
            std::vector<size_t> unknown;
            for (size_t i = 0; i < subs.size(); ++i) {
                if (!subs[i].crcDefined)
                    unknown.push_back(i);
            }
            std::vector<bool> defined;
            std::vector<uint32_t> crcs;
            readDigests(c, unknown.size(), defined, crcs);
            for (size_t i = 0; i < unknown.size() && !c.failed(); ++i) {
                subs[unknown[i]].crcDefined = defined[i];
                subs[unknown[i]].crc = crcs[i];
            }
            part = c.byte();
        }
        id = c.byte();
    } else {
        for (size_t i = 0; i < s.folders.size(); ++i)
            subs.push_back({i, s.folders[i].size, s.folders[i].crcDefined, s.folders[i].crc});
    }
    return id == kEnd && !c.failed();
}

bool readFiles(Cursor& c, const D7zipStreams& s, const std::vector<Substream>& subs,
               std::vector<D7zipFileRecord>& files)
{
    uint64_t n = c.count(true);
    files.assign(static_cast<size_t>(n), D7zipFileRecord{});
    bool named = false;
    for (uint64_t type = c.number(); type != kEnd && !c.failed(); type = c.number()) {
        Cursor property(c.take(c.number()));
        if (type == kEmptyStream) {
            std::vector<bool> empty = readBits(property, files.size());
            for (size_t i = 0; i < files.size(); ++i)
                files[i].hasStream = !empty[i];
        } else if (type == kName) {
            if (property.byte() != 0)
                return false;
            for (D7zipFileRecord& f : files) {
                for (;;) {
                    // Two statements: the operands of one expression may be read in either order.
                    uint8_t low = property.byte();
                    uint8_t high = property.byte();
                    char16_t unit = static_cast<char16_t>(low | (high << 8));
                    if (unit == 0)
                        break;
                    if (property.failed())
                        return false;
                    f.name.push_back(unit);
                }
            }
            named = true;
        }
        if (property.failed())
            return false;
    }
    size_t next = 0;
    for (D7zipFileRecord& f : files) {
        if (!f.hasStream) {
            f.size = 0;
            continue;
        }
        if (next >= subs.size())
            return false;
        const Substream& sub = subs[next++];
        f.size = sub.size;
        f.crcDefined = sub.crcDefined;
        f.crc = sub.crc;
        if (s.folders[sub.folder].substreams == 1)
            f.folder = static_cast<int64_t>(sub.folder);
    }
    return named && next == subs.size() && !c.failed();
}

void putNumber(std::string& out, uint64_t value)
{
    uint8_t first = 0;
    uint8_t mask = 0x80;
    int extra = 0;
    for (; extra < 8; ++extra) {
        if (value < (uint64_t(1) << (7 * (extra + 1)))) {
            first |= static_cast<uint8_t>(value >> (8 * extra));
            break;
        }
        first |= mask;
        mask >>= 1;
    }
    out.push_back(static_cast<char>(first));
    for (int i = 0; i < extra; ++i)
        out.push_back(static_cast<char>(value >> (8 * i)));
}

void putLittleEndian(std::string& out, uint64_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        out.push_back(static_cast<char>(value >> (8 * i)));
}

uint64_t readLittleEndian(std::string_view bytes, size_t at, int n)
{
    uint64_t v = 0;
    for (int i = 0; i < n; ++i)
        v |= static_cast<uint64_t>(static_cast<uint8_t>(bytes[at + i])) << (8 * i);
    return v;
}

} // namespace

uint32_t crc32(const void* data, size_t size, uint32_t crc)
{
    static const std::array<uint32_t, 256> table = [] {
        std::array<uint32_t, 256> t{};
        for (uint32_t i = 0; i < 256; ++i) {
            uint32_t c = i;
            for (int k = 0; k < 8; ++k)
                c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            t[i] = c;
        }
        return t;
    }();
    const auto* p = static_cast<const uint8_t*>(data);
    crc = ~crc;
    for (size_t i = 0; i < size; ++i)
        crc = table[(crc ^ p[i]) & 0xFF] ^ (crc >> 8);
    return ~crc;
}

bool parseSignatureHeader(std::string_view bytes, uint64_t& offset, uint64_t& size, uint32_t& crc)
{
    if (bytes.size() < kSignatureHeaderSize ||
        std::string_view(reinterpret_cast<const char*>(kSignature), 6) != bytes.substr(0, 6))
        return false;
    if (crc32(bytes.data() + 12, 20) != readLittleEndian(bytes, 8, 4))
        return false;
    offset = readLittleEndian(bytes, 12, 8);
    size = readLittleEndian(bytes, 20, 8);
    crc = static_cast<uint32_t>(readLittleEndian(bytes, 28, 4));
    return true;
}

namespace {

int parseHeaderParts(std::string_view bytes, D7zipLayout& layout, D7zipStreams& encoded)
{
    Cursor c(bytes);
    uint8_t id = c.byte();
    std::vector<Substream> subs;
    if (id == kEncodedHeader)
        return readStreamsInfo(c, bytes, encoded, subs) ? 2 : 0;
    if (id != kHeader)
        return 0;
    id = c.byte();
    if (id == kArchiveProperties) {
        for (uint8_t type = c.byte(); type != kEnd && !c.failed(); type = c.byte())
            c.take(c.number());
        id = c.byte();
    }
    if (id == kAdditionalStreamsInfo)
        return 0;
    if (id == kMainStreamsInfo) {
        if (!readStreamsInfo(c, bytes, layout.streams, subs))
            return 0;
        id = c.byte();
    }
    if (id == kFilesInfo) {
        if (!readFiles(c, layout.streams, subs, layout.files))
            return 0;
        id = c.byte();
    }
    return id == kEnd && !c.failed() ? 1 : 0;
}

} // namespace

int parseHeader(std::string_view bytes, D7zipLayout& layout, D7zipStreams& encoded)
{
    layout = D7zipLayout{};
    encoded = D7zipStreams{};
    int kind = parseHeaderParts(bytes, layout, encoded);
    // Nothing half-read is left behind for a caller to trust.
    if (kind != 1)
        layout = D7zipLayout{};
    if (kind != 2)
        encoded = D7zipStreams{};
    return kind;
}

void buildSingleFileArchive(const D7zipStreams& streams, const D7zipFolder& f,
                            std::u16string_view name, bool crcDefined, uint32_t crc,
                            std::string& prefix, std::string& suffix)
{
    uint64_t packed = 0;
    std::string h;
    h.push_back(kHeader);
    h.push_back(kMainStreamsInfo);
    h.push_back(kPackInfo);
    putNumber(h, 0);
    putNumber(h, f.packStreams);
    h.push_back(kSize);
    for (uint32_t i = 0; i < f.packStreams; ++i) {
        uint64_t s = streams.packSizes[f.firstPackStream + i];
        putNumber(h, s);
        packed += s;
    }
    h.push_back(kEnd);
    h.push_back(kUnpackInfo);
    h.push_back(kFolder);
    putNumber(h, 1);
    h.push_back(0);
    h += f.coders;
    h.push_back(kCodersUnpackSize);
    for (uint64_t s : f.outSizes)
        putNumber(h, s);
    h.push_back(kEnd);
    h.push_back(kSubStreamsInfo);
    h.push_back(kNumUnpackStream);
    putNumber(h, 1);
    if (crcDefined) {
        h.push_back(kCrc);
        h.push_back(1);
        putLittleEndian(h, crc, 4);
    }
    h.push_back(kEnd);
    h.push_back(kEnd);
    h.push_back(kFilesInfo);
    putNumber(h, 1);
    h.push_back(kName);
    putNumber(h, 1 + 2 * (name.size() + 1));
    h.push_back(0);
    for (char16_t unit : name)
        putLittleEndian(h, unit, 2);
    putLittleEndian(h, 0, 2);
    h.push_back(kEnd);
    h.push_back(kEnd);

    std::string tail;
    putLittleEndian(tail, packed, 8);
    putLittleEndian(tail, h.size(), 8);
    putLittleEndian(tail, crc32(h.data(), h.size()), 4);
    prefix.assign(reinterpret_cast<const char*>(kSignature), 6);
    prefix.push_back(0);
    prefix.push_back(4);
    putLittleEndian(prefix, crc32(tail.data(), tail.size()), 4);
    prefix += tail;
    suffix = std::move(h);
}

} // namespace qev::io::detail

// Arbitrary bytes as the data archive: opening it and every entry it lists must give an index
// and streams, or IOException, never a crash, a hang or unbounded memory.
// The signature header carries a CRC of itself and of the header block; nearly every mutation
// would break one of them and stop at the first check, so the target rewrites both (for a
// header block that lies inside the input) before writing the file.
#include "io/D7zipArchive.h"
#include "io/D7zipInputStream.h"
#include "io/D7zipLayout.h"
#include "platform/DeviceProfile.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

using namespace qev::lang;
using namespace qev::io;

namespace {

// Never destroyed, so that the clean-up at exit can still name it.
const std::string& programFolder()
{
    static const std::string* folder = [] {
        char pattern[] = "/tmp/ph-fuzz-archive-XXXXXX";
        auto* f = new std::string(mkdtemp(pattern));
        platform::DeviceProfile::current().programFile = *f + "/game.exe";
        std::atexit([] { std::filesystem::remove_all(programFolder()); });
        return f;
    }();
    return *folder;
}

uint64_t readLittle(const uint8_t* p, int n)
{
    uint64_t v = 0;
    for (int i = 0; i < n; ++i)
        v |= uint64_t(p[i]) << (8 * i);
    return v;
}

void writeLittle32(uint8_t* p, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        p[i] = uint8_t(v >> (8 * i));
}

void fixCrcs(std::vector<uint8_t>& archive)
{
    using qev::io::detail::crc32;
    using qev::io::detail::kSignatureHeaderSize;
    if (archive.size() < kSignatureHeaderSize)
        return;
    const uint64_t offset = readLittle(&archive[12], 8);
    const uint64_t size = readLittle(&archive[20], 8);
    const uint64_t room = archive.size() - kSignatureHeaderSize;
    if (offset <= room && size <= room - offset)
        writeLittle32(&archive[28], crc32(archive.data() + kSignatureHeaderSize + offset, size));
    writeLittle32(&archive[8], crc32(&archive[12], 20));
}

} // namespace

// The decoder asks for whatever size a damaged header announces (tens of gigabytes) and copes
// with a refusal; refuse such requests as a real machine would instead of ending the run.
extern "C" const char* __asan_default_options()
{
    return "allocator_may_return_null=1:max_allocation_size_mb=1024";
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string file = programFolder() + "/fuzz.dat";
    FILE* out = std::fopen(file.c_str(), "wb");
    if (!out)
        return 0;
    std::vector<uint8_t> bytes(data, data + size);
    fixCrcs(bytes);
    std::fwrite(bytes.data(), 1, bytes.size(), out);
    std::fclose(out);
    try {
        D7zipInputStream::openArchive(u"fuzz.dat", u"");
    } catch (DExceptionBase* e) {
        delete e;
        return 0;
    }
    int opened = 0;
    for (const std::string& name : qev::io::detail::D7zipArchive::instance().index().names()) {
        if (++opened > 64)
            break;
        try {
            D7zipInputStreamPtr in = D7zipInputStream::open(DStringPtr(new DString(name.c_str())));
            while (in->read() >= 0) {
            }
        } catch (DExceptionBase* e) {
            delete e;
        }
    }
    D7zipInputStream::closeArchive();
    return 0;
}

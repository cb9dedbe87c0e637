// Arbitrary bytes as the data archive: opening it and every entry it lists must give an index
// and streams, or IOException, never a crash, a hang or unbounded memory.
#include "io/D7zipArchive.h"
#include "io/D7zipInputStream.h"
#include "platform/DeviceProfile.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

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
    std::fwrite(data, 1, size, out);
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

#include "CoreTestSupport.h"
#include "DeviceFixture.h"
#include "SevenZipTool.h"
#include "TempFolder.h"
#include "io/D7zipArchive.h"
#include "io/D7zipIndex.h"
#include "io/D7zipInputStream.h"
#include "io/D7zipLayout.h"
#include "lang/DbyteArray.h"
#include "platform/testing/FileFaults.h"
#include "platform/text.h"

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <map>
#include <memory>
#include <string>

using namespace qev::lang;
using namespace qev::io;
using platform::FileCall;
using platform::FileFaults;
using qev::io::detail::D7zipIndex;

namespace {

// Bytes that compress a little but not to nothing, different for every seed.
std::string noise(size_t n, uint32_t seed)
{
    std::string s(n, '\0');
    for (size_t i = 0; i < n; ++i) {
        seed = seed * 1103515245u + 12345u;
        s[i] = static_cast<char>((seed >> 16) % 7 == 0 ? 'x' : (seed >> 8) & 0xFF);
    }
    return s;
}

// The same small files in every archive kind. "Aa" and "BB" share the name hash 2112.
const std::map<std::string, std::string>& sampleFiles()
{
    static const std::map<std::string, std::string> files = {
        {"a", "0123456789"},
        {"Aa", "first of a hash pair"},
        {"BB", "second of a hash pair, longer"},
        {"graphics/x.png", noise(700, 1)},
        {"img/a.png", noise(3000, 2)},
        {"txt/big.txt", std::string(200000, 'z') + noise(50000, 3)},
        {"empty folder/", ""},
    };
    return files;
}

struct ArchiveKind
{
    const char* file;
    std::vector<std::string> switches;
};

const std::vector<ArchiveKind>& archiveKinds()
{
    static const std::vector<ArchiveKind> kinds = {
        {"lzma.dat", sevenzip::nonSolid("LZMA")},
        {"copy.dat", sevenzip::nonSolid("Copy")},
        {"solid.dat", sevenzip::solid("LZMA")},
        {"solidcopy.dat", sevenzip::solid("Copy")},
        // As the game data is packed: plain header, no time stamps.
        {"plainheader.dat",
         {"-m0=LZMA", "-ms=off", "-mf=off", "-mhc=off", "-mtm=off", "-mtc=off", "-mta=off"}},
    };
    return kinds;
}

std::string readAll(const D7zipInputStreamPtr& in)
{
    std::string out;
    DbyteArrayPtr buf(new DbyteArray(4096));
    for (int32_t n; (n = in->read(buf, 0, buf->length)) > 0;)
        out.append(reinterpret_cast<const char*>(buf->getData()), static_cast<size_t>(n));
    return out;
}

// Archives built once for the whole suite in one program folder; every test points the program
// file there and closes the archive when it ends.
class ArchiveStreams : public DeviceTest
{
  protected:
    static void SetUpTestSuite()
    {
        s_folder = std::make_unique<testsupport::TempFolder>();
        for (const ArchiveKind& kind : archiveKinds())
            ASSERT_TRUE(
                sevenzip::pack(s_folder->path() + "/" + kind.file, sampleFiles(), kind.switches))
                << "the 7z tool (p7zip-full) could not build " << kind.file;
    }
    static void TearDownTestSuite() { s_folder.reset(); }

    ArchiveStreams() { profile().programFile = s_folder->path() + "/game.exe"; }
    ~ArchiveStreams() override { D7zipInputStream::closeArchive(); }

    std::string folderFile(const std::string& name) const { return s_folder->path() + "/" + name; }
    std::string archiveBytes(const std::string& name) const { return s_folder->read(name); }
    void writeFile(const std::string& name, const std::string& bytes) const
    {
        s_folder->write(name, bytes);
    }

    static std::unique_ptr<testsupport::TempFolder> s_folder;
};

std::unique_ptr<testsupport::TempFolder> ArchiveStreams::s_folder;

} // namespace

TEST_F(ArchiveStreams, EveryEntryReadsBackExactlyInEveryArchiveKind)
{
    for (const ArchiveKind& kind : archiveKinds()) {
        SCOPED_TRACE(kind.file);
        D7zipInputStream::openArchive(DStringPtr(new DString(kind.file)), u"");
        ASSERT_TRUE(D7zipInputStream::isArchiveOpen());
        // Backwards, so that solid blocks are entered in the middle as well.
        for (auto it = sampleFiles().rbegin(); it != sampleFiles().rend(); ++it) {
            if (it->first.back() == '/')
                continue;
            D7zipInputStreamPtr in =
                D7zipInputStream::open(DStringPtr(new DString(it->first.c_str())));
            EXPECT_EQ(static_cast<int32_t>(it->second.size()), in->available()) << it->first;
            EXPECT_EQ(it->second, readAll(in)) << it->first;
        }
    }
}

TEST_F(ArchiveStreams, SeparatorsAndOneLeadingSlashNameTheSameEntry)
{
    D7zipInputStream::openArchive(u"lzma.dat", u"");
    const std::string& expected = sampleFiles().at("graphics/x.png");
    for (const char16_t* name :
         {u"graphics/x.png", u"/graphics/x.png", u"\\graphics\\x.png", u"\\graphics/x.png"})
        EXPECT_EQ(expected, readAll(D7zipInputStream::open(name)));
    // Only one leading separator is dropped, names are case-sensitive, and folders are no
    // entries.
    for (const char16_t* name : {u"//graphics/x.png", u"Graphics/x.png", u"graphics", u"graphics/",
                                 u"empty folder", u"", u"/"})
        EXPECT_THROWS_CODE(ExceptionCode::IOException, D7zipInputStream::open(name));
    // A character outside Latin-1 must not alias the ASCII name of its low byte ('a').
    EXPECT_THROWS_CODE(ExceptionCode::IOException, D7zipInputStream::open(u"\u0161"));
}

TEST_F(ArchiveStreams, NamesSharingAHashFindTheirOwnEntry)
{
    ASSERT_EQ(D7zipIndex::hashName("Aa"), D7zipIndex::hashName("BB"));
    ASSERT_EQ(D7zipIndex::hashName("Aa"), D7zipIndex::hashName("C#"));
    D7zipInputStream::openArchive(u"lzma.dat", u"");
    EXPECT_EQ(sampleFiles().at("Aa"), readAll(D7zipInputStream::open(u"Aa")));
    EXPECT_EQ(sampleFiles().at("BB"), readAll(D7zipInputStream::open(u"/BB")));
    // Absent, with the hash of two present entries.
    EXPECT_THROWS_CODE(ExceptionCode::IOException, D7zipInputStream::open(u"C#"));
}

TEST_F(ArchiveStreams, HashIsOverSignedBytesWithWrapAround)
{
    EXPECT_EQ(97, D7zipIndex::hashName("a"));
    EXPECT_EQ(-1, D7zipIndex::hashName("\xff"));
    EXPECT_EQ(31 * 97 - 128, D7zipIndex::hashName("a\x80"));
    // 31^7 * 'z' alone exceeds 32 bits; the result wraps instead of saturating.
    uint32_t h = 0;
    for (char c : std::string("zzzzzzzzzzzz"))
        h = h * 31u + static_cast<uint32_t>(c);
    EXPECT_EQ(static_cast<int32_t>(h), D7zipIndex::hashName("zzzzzzzzzzzz"));
}

TEST_F(ArchiveStreams, IndexKeepsEveryEntryOfABucketIncludingHashZero)
{
    // "\x01\xe1" hashes to 31 - 31 = 0; with one bucket every name shares the head.
    for (size_t buckets : {1u, 3u}) {
        D7zipIndex index;
        std::vector<D7zipIndex::Entry> entries = {{"\x01\xe1", 0, 1}, {"Aa", 1, 2}, {"BB", 2, 3}};
        for (size_t i = entries.size(); i < buckets; ++i)
            entries.push_back({"pad" + std::to_string(i), static_cast<uint32_t>(i), 4});
        index.build(entries);
        ASSERT_NE(nullptr, index.find("\x01\xe1"));
        EXPECT_EQ(0u, index.find("\x01\xe1")->number);
        EXPECT_EQ(1u, index.find("Aa")->number);
        EXPECT_EQ(2u, index.find("BB")->number);
        EXPECT_EQ(nullptr, index.find("C#"));
        EXPECT_EQ(nullptr, index.find(""));
    }
    D7zipIndex empty;
    empty.build({});
    EXPECT_EQ(nullptr, empty.find("a"));
}

TEST_F(ArchiveStreams, StreamReadsSkipsResetsAndCloses)
{
    D7zipInputStream::openArchive(u"lzma.dat", u"");
    D7zipInputStreamPtr in = D7zipInputStream::open(u"/a");
    DbyteArrayPtr b(new DbyteArray(100));
    EXPECT_EQ(10, in->read(b, 0, 100));
    EXPECT_EQ('9', (*b)[9]);
    EXPECT_EQ(0, in->read(b, 0, 100));
    EXPECT_EQ(-1, in->read());
    in->reset();
    EXPECT_EQ(0, in->skip(-5));
    EXPECT_EQ(3, in->skip(3));
    EXPECT_EQ('3', in->read());
    EXPECT_EQ(6, in->skip(100));
    EXPECT_EQ(0, in->available());
    in->reset();
    char raw[4] = {};
    EXPECT_EQ(4, in->read(raw, 4));
    EXPECT_EQ("0123", std::string(raw, 4));
    EXPECT_THROWS_CODE(ExceptionCode::IndexOutOfBoundsException, in->read(b, 95, 10));
    EXPECT_THROWS_CODE(ExceptionCode::IndexOutOfBoundsException, in->read(b, 0, -1));
    in->close();
    EXPECT_EQ(0, in->available());
    EXPECT_EQ(-1, in->read());
    EXPECT_EQ(0, in->read(b, 0, 10));
    in->finalize(); // closing twice is harmless
}

TEST_F(ArchiveStreams, StreamsOutliveTheArchiveAndOpenNeedsAnOpenArchive)
{
    EXPECT_THROWS_CODE(ExceptionCode::IOException, D7zipInputStream::open(u"a"));
    D7zipInputStream::openArchive(u"copy.dat", u"ignored password");
    D7zipInputStreamPtr kept = D7zipInputStream::open(u"img/a.png");
    D7zipInputStream::closeArchive();
    EXPECT_FALSE(D7zipInputStream::isArchiveOpen());
    EXPECT_THROWS_CODE(ExceptionCode::IOException, D7zipInputStream::open(u"img/a.png"));
    EXPECT_EQ(sampleFiles().at("img/a.png"), readAll(kept));
    D7zipInputStream::closeArchive(); // closing a closed archive does nothing
    EXPECT_THROWS_CODE(ExceptionCode::NullPointerException, D7zipInputStream::open(nullptr));
}

TEST_F(ArchiveStreams, OpeningASecondArchiveIndexesIt)
{
    ASSERT_TRUE(sevenzip::pack(folderFile("other.dat"), {{"only.txt", "other archive"}},
                               sevenzip::nonSolid("LZMA")));
    D7zipInputStream::openArchive(u"lzma.dat", u"");
    D7zipInputStream::openArchive(u"/other.dat", u"");
    EXPECT_EQ("other archive", readAll(D7zipInputStream::open(u"only.txt")));
    EXPECT_THROWS_CODE(ExceptionCode::IOException, D7zipInputStream::open(u"a"));
}

TEST_F(ArchiveStreams, MissingOrForeignFilesLeaveNoArchiveOpen)
{
    writeFile("text.dat", "this is not an archive at all");
    writeFile("zero.dat", "");
    D7zipInputStream::openArchive(u"lzma.dat", u"");
    for (const char16_t* name : {u"missing.dat", u"text.dat", u"zero.dat", u"sub/missing.dat"}) {
        EXPECT_THROWS_CODE(ExceptionCode::IOException, D7zipInputStream::openArchive(name, u""));
        EXPECT_FALSE(D7zipInputStream::isArchiveOpen());
    }
    EXPECT_THROWS_CODE(ExceptionCode::NullPointerException,
                       D7zipInputStream::openArchive(nullptr, u""));
    EXPECT_FALSE(D7zipInputStream::isArchiveOpen());
}

namespace {

// The message of the IOException that opening the named archive raises ("" when none is raised).
std::string openingProblem(const char16_t* name)
{
    try {
        D7zipInputStream::openArchive(name, u"");
    } catch (DExceptionBase* e) {
        std::string text;
        if (e->code == ExceptionCode::IOException)
            platform::utf16ToUtf8(e->message, text);
        else
            text = "another exception";
        delete e;
        return text;
    }
    return "";
}

} // namespace

TEST_F(ArchiveStreams, AFailedOpeningSaysWhichFileWasTriedAndWhatIsWrongWithIt)
{
    EXPECT_EQ("game data missing: " + folderFile("missing.dat"), openingProblem(u"missing.dat"));
    EXPECT_EQ("game data missing: " + folderFile("no/such/folder.dat"),
              openingProblem(u"no/such/folder.dat"));
    writeFile("text.dat", "this is not an archive at all");
    EXPECT_EQ("game data damaged or not an archive: " + folderFile("text.dat"),
              openingProblem(u"text.dat"));
    std::filesystem::create_directories(folderFile("folder.dat"));
    EXPECT_EQ("game data is not a regular file: " + folderFile("folder.dat"),
              openingProblem(u"folder.dat"));
    EXPECT_FALSE(D7zipInputStream::isArchiveOpen());

    // A path too long for the message keeps its end, where the file's name is.
    std::string deep(150, 'd');
    std::u16string name = std::u16string(deep.begin(), deep.end()) + u"/game.dat";
    std::string problem = openingProblem(name.c_str());
    EXPECT_EQ(0u, problem.rfind("game data missing: ...", 0)) << problem;
    EXPECT_EQ(problem.size() - 9, problem.rfind("/game.dat")) << problem;
    EXPECT_EQ(size_t(DExceptionBase::kMessageUnits - 1), problem.size());
}

TEST_F(ArchiveStreams, APipeInTheArchivesPlaceIsRefusedWithoutBlocking)
{
    const std::string fifo = folderFile("pipe.dat");
    std::filesystem::remove(fifo);
    ASSERT_EQ(0, mkfifo(fifo.c_str(), 0600));
    // Opening a pipe for reading waits for a writer that never comes: the attempt runs in a
    // child that a timer ends, so a regression fails the test instead of hanging it.
    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        alarm(10);
        std::string problem = openingProblem(u"pipe.dat");
        _exit(problem == "game data is not a regular file: " + fifo ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(child, waitpid(child, &status, 0));
    EXPECT_TRUE(WIFEXITED(status)) << "the opening blocked (status " << status << ")";
    EXPECT_EQ(0, WEXITSTATUS(status));
    std::filesystem::remove(fifo);
}

// Every damaged copy either fails with IOException or gives exactly the original bytes.
void expectOnlyWholeEntriesOrIOException(const std::string& label)
{
    SCOPED_TRACE(label);
    int32_t code = coretest::thrownCode([] { D7zipInputStream::openArchive(u"damaged.dat", u""); });
    if (code != 0) {
        EXPECT_EQ(ExceptionCode::IOException, code);
        EXPECT_FALSE(D7zipInputStream::isArchiveOpen());
        return;
    }
    for (const auto& [name, bytes] : sampleFiles()) {
        if (name.back() == '/' || bytes.size() > 4000)
            continue;
        std::string got;
        int32_t c = coretest::thrownCode(
            [&] { got = readAll(D7zipInputStream::open(DStringPtr(new DString(name.c_str())))); });
        if (c != 0)
            EXPECT_EQ(ExceptionCode::IOException, c) << name;
        else
            EXPECT_EQ(bytes, got) << name;
    }
}

TEST_F(ArchiveStreams, TruncatedArchivesFailWithIOException)
{
    for (const char* kind : {"copy.dat", "lzma.dat"}) {
        std::string whole = archiveBytes(kind);
        for (size_t cut : {size_t(0), size_t(6), size_t(31), size_t(32), size_t(100),
                           whole.size() / 2, whole.size() - 40, whole.size() - 1}) {
            writeFile("damaged.dat", whole.substr(0, cut));
            expectOnlyWholeEntriesOrIOException(std::string(kind) + " cut at " +
                                                std::to_string(cut));
        }
    }
}

TEST_F(ArchiveStreams, FlippedBitsNeverGiveWrongBytes)
{
    // A small archive, so that every byte can be damaged in turn; the Copy method stores the
    // entries as they are, so only the CRC can tell.
    std::map<std::string, std::string> small = {
        {"a", "0123456789"}, {"Aa", "hash pair one"}, {"BB", "hash pair two"}};
    ASSERT_TRUE(sevenzip::pack(folderFile("small.dat"), small, sevenzip::nonSolid("Copy")));
    ASSERT_TRUE(sevenzip::pack(folderFile("smallz.dat"), small, sevenzip::solid("LZMA")));
    for (const char* kind : {"small.dat", "smallz.dat"}) {
        std::string whole = archiveBytes(kind);
        for (size_t i = 0; i < whole.size(); ++i) {
            std::string damaged = whole;
            damaged[i] = static_cast<char>(damaged[i] ^ (1 << (i % 8)));
            writeFile("damaged.dat", damaged);
            int32_t code =
                coretest::thrownCode([] { D7zipInputStream::openArchive(u"damaged.dat", u""); });
            if (code != 0) {
                EXPECT_EQ(ExceptionCode::IOException, code) << kind << " byte " << i;
                continue;
            }
            for (const auto& [name, bytes] : small) {
                std::string got;
                int32_t c = coretest::thrownCode([&, n = name] {
                    got = readAll(D7zipInputStream::open(DStringPtr(new DString(n.c_str()))));
                });
                if (c != 0)
                    EXPECT_EQ(ExceptionCode::IOException, c) << kind << " byte " << i;
                else
                    EXPECT_EQ(bytes, got) << kind << " byte " << i << " entry " << name;
            }
        }
    }
}

TEST_F(ArchiveStreams, FailedFileReadsAndSeeksNeverGiveWrongBytes)
{
    D7zipInputStream::openArchive(u"lzma.dat", u"");
    for (FileCall call : {FileCall::Read, FileCall::Seek}) {
        // A single failed call may be recovered by the slower way through the entry list;
        // what comes out is the entry or IOException.
        for (unsigned n : {1u, 2u, 3u, 4u, 6u, 9u}) {
            FileFaults::failNth(call, n);
            std::string got;
            int32_t code =
                coretest::thrownCode([&] { got = readAll(D7zipInputStream::open(u"img/a.png")); });
            if (code != 0)
                EXPECT_EQ(ExceptionCode::IOException, code) << n;
            else
                EXPECT_EQ(sampleFiles().at("img/a.png"), got) << n;
            FileFaults::clear();
        }
    }
    EXPECT_EQ(sampleFiles().at("img/a.png"), readAll(D7zipInputStream::open(u"img/a.png")));
    FileFaults::failNth(FileCall::Read, 1);
    EXPECT_THROWS_CODE(ExceptionCode::IOException, D7zipInputStream::openArchive(u"lzma.dat", u""));
    EXPECT_FALSE(D7zipInputStream::isArchiveOpen());
}

TEST_F(ArchiveStreams, AnArchiveCutShortAfterOpeningFailsWithIOException)
{
    writeFile("shrinking.dat", archiveBytes("lzma.dat"));
    D7zipInputStream::openArchive(u"shrinking.dat", u"");
    std::filesystem::resize_file(folderFile("shrinking.dat"), 40);
    for (const auto& [name, bytes] : sampleFiles()) {
        if (name.back() != '/') {
            EXPECT_THROWS_CODE(ExceptionCode::IOException,
                               D7zipInputStream::open(DStringPtr(new DString(name.c_str()))))
                << name;
        }
    }
}

TEST_F(ArchiveStreams, EntriesOfTheirOwnBlockAreExtractedWithoutTheEntryList)
{
    using qev::io::detail::D7zipArchive;
    for (const ArchiveKind& kind : archiveKinds()) {
        SCOPED_TRACE(kind.file);
        D7zipInputStream::openArchive(DStringPtr(new DString(kind.file)), u"");
        const D7zipArchive& archive = D7zipArchive::instance();
        // The 7z tool never puts Copy entries into a shared block, solid or not.
        bool solid = std::string(kind.file) == "solid.dat";
        for (const std::string& name : archive.index().names()) {
            const D7zipIndex::Entry* entry = archive.index().find(name);
            ASSERT_NE(nullptr, entry);
            // Solid blocks hold several entries; only one-entry blocks take the short way.
            EXPECT_EQ(!solid, archive.hasDirectPath(entry->number)) << name;
        }
    }
}

TEST(ArchiveHeader, NamesAreLittleEndianUtf16Units)
{
    using namespace qev::io::detail;
    // A header of one file without data: Header, FilesInfo with 1 file, EmptyStream (1 byte:
    // bit 7 set for file 0), Name (7 bytes: not external, then "a", U+0162 and the terminator as
    // little-endian units), end of the properties, end of the header.
    const unsigned char header[] = {0x01, 0x05, 0x01, 0x0E, 0x01, 0x80, 0x11, 0x07, 0x00,
                                    0x61, 0x00, 0x62, 0x01, 0x00, 0x00, 0x00, 0x00};
    D7zipLayout layout;
    D7zipStreams encoded;
    ASSERT_EQ(1, parseHeader(std::string_view(reinterpret_cast<const char*>(header), sizeof header),
                             layout, encoded));
    ASSERT_EQ(1u, layout.files.size());
    EXPECT_EQ(std::u16string(u"a\u0162"), layout.files[0].name);
    EXPECT_FALSE(layout.files[0].hasStream);
    // The same header cut inside the name is refused.
    EXPECT_EQ(0, parseHeader(std::string_view(reinterpret_cast<const char*>(header), 12), layout,
                             encoded));
    EXPECT_TRUE(layout.files.empty());
}

TEST_F(ArchiveStreams, AnEmptyFileOpensAsAStreamAtItsEnd)
{
    for (const auto& switches : {sevenzip::nonSolid("LZMA"), sevenzip::solid("LZMA")}) {
        ASSERT_TRUE(sevenzip::pack(folderFile("withempty.dat"),
                                   {{"empty.txt", ""}, {"full.txt", "not empty"}}, switches));
        D7zipInputStream::openArchive(u"withempty.dat", u"");
        D7zipInputStreamPtr in = D7zipInputStream::open(u"/empty.txt");
        EXPECT_EQ(0, in->available());
        EXPECT_EQ(-1, in->read());
        DbyteArrayPtr b(new DbyteArray(4));
        EXPECT_EQ(0, in->read(b, 0, 4));
        EXPECT_EQ(0, in->skip(3));
        EXPECT_EQ("not empty", readAll(D7zipInputStream::open(u"full.txt")));
    }
}

// Entries of the data archive ("game.dat", a 7z archive in the program's folder) as input
// streams. openArchive reads the archive's entry list once and indexes it by name; open decodes
// one entry whole into memory. Streams own their bytes and outlive the archive.
//
// Names use "/" separators; "\" counts as "/" and one leading "/" is ignored, so "/img/a.png",
// "img/a.png" and "\img\a.png" name the same entry. Names are case-sensitive.
#pragma once

#include "io/DInputStream.h"
#include "lang/DString.h"

namespace qev::io {

class D7zipInputStream;
using D7zipInputStreamPtr = qev::lang::DPtr<D7zipInputStream>;

class D7zipInputStream : public DInputStream
{
  public:
    ~D7zipInputStream() override;

    // Opens "app.fullpath" + "\" + name and indexes it, closing an archive already open. The
    // password is accepted and not used (the archive is not encrypted). NullPointerException for
    // a null name; IOException when the file is missing or is no readable 7z archive, after which
    // no archive is open.
    static void openArchive(qev::lang::DStringPtr name, qev::lang::DStringPtr password);
    // A new stream over the named entry's bytes. NullPointerException for a null name;
    // IOException when no archive is open, the name is absent, or the entry cannot be decoded
    // (damaged data, CRC mismatch).
    static D7zipInputStreamPtr open(qev::lang::DStringPtr name);
    // Whether the open archive lists the named entry, readable or not: an entry that is listed
    // yet fails to open is damaged, not missing.
    static bool holds(qev::lang::DStringPtr name);
    // Releases the archive; streams already opened keep their bytes.
    static void closeArchive();
    static bool isArchiveOpen();

    void finalize() override;
    int32_t available() override;
    using DInputStream::read;
    // Copies up to len bytes; 0 (not -1) at the end.
    int32_t read(qev::lang::DbyteArrayPtr b, int32_t off, int32_t len) override;
    int32_t read() override;
    // Frees the bytes; the stream is then at its end.
    void close() override;
    void reset() override;
    int64_t skip(int64_t n) override;

  private:
    D7zipInputStream() = default;

    char* m_data = nullptr;
    int32_t m_size = 0;
    int32_t m_pos = 0;
};

} // namespace qev::io

// The one open data archive of the program: its file, its entry index, and the extraction of an
// entry. Used by D7zipInputStream; all calls on the main thread.
#pragma once

#include "io/D7zipIndex.h"
#include "lang/DString.h"
#include "platform/wintypes.h"

#include <cstdint>
#include <string>

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
    const D7zipIndex& index() const { return m_index; }

    // The stored form of a requested name: "\" becomes "/", one leading "/" is dropped, and the
    // text is UTF-8 (stored names are ASCII, so other characters can only miss). False for text
    // that is not valid UTF-16.
    static bool storedName(const qev::lang::DString& name, std::string& out);

  private:
    D7zipArchive() = default;
    ~D7zipArchive();

    HANDLE m_file = nullptr;
    bool m_open = false;
    D7zipIndex m_index;
};

} // namespace qev::io::detail

// A read-only view of a whole file through the platform's file mapping.
#pragma once

#include "platform/wintypes.h"

#include <cstdint>

namespace platform {

class MappedFile
{
  public:
    MappedFile() = default;
    MappedFile(const MappedFile&) = delete;
    MappedFile& operator=(const MappedFile&) = delete;
    ~MappedFile() { close(); }

    // Closes what was open, then maps `path` (resolved as resolveAppPath does, see
    // ProgramFolder.h). False, with nothing left open, when any step fails.
    bool open(LPCWSTR path);
    void close();

    bool isOpen() const { return m_view != nullptr; }
    const uint8_t* begin() const { return m_view; }
    const uint8_t* end() const { return m_end; }

  private:
    HANDLE m_file = INVALID_HANDLE_VALUE;
    HANDLE m_mapping = nullptr;
    const uint8_t* m_view = nullptr;
    const uint8_t* m_end = nullptr;
};

} // namespace platform

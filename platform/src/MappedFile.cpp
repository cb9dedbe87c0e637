#include "platform/MappedFile.h"

#include "platform/ProgramFolder.h"
#include "platform/files.h"

namespace platform {

bool MappedFile::open(LPCWSTR path)
{
    close();
    WCHAR full[MAX_PATH];
    if (resolveAppPath(path, full) == 0)
        return false;
    m_file = CreateFileForMappingW(full, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                   FILE_ATTRIBUTE_NORMAL, nullptr);
    if (m_file == INVALID_HANDLE_VALUE || m_file == nullptr) {
        m_file = INVALID_HANDLE_VALUE;
        return false;
    }
    DWORD high = 0;
    const DWORD size = GetFileSize(m_file, &high);
    if (size == INVALID_FILE_SIZE || size == 0 || high != 0) {
        close();
        return false;
    }
    // A mapping of exactly the size read, so that the view and the end pointer agree even
    // when the file changes size in between.
    m_mapping = CreateFileMappingW(m_file, nullptr, PAGE_READONLY, 0, size, nullptr);
    if (!m_mapping) {
        close();
        return false;
    }
    m_view = static_cast<const uint8_t*>(MapViewOfFile(m_mapping, FILE_MAP_READ, 0, 0, 0));
    if (!m_view) {
        close();
        return false;
    }
    m_end = m_view + size;
    return true;
}

void MappedFile::close()
{
    if (m_view)
        UnmapViewOfFile(m_view);
    if (m_mapping)
        CloseHandle(m_mapping);
    if (m_file != INVALID_HANDLE_VALUE)
        CloseHandle(m_file);
    m_view = nullptr;
    m_end = nullptr;
    m_mapping = nullptr;
    m_file = INVALID_HANDLE_VALUE;
}

} // namespace platform

#include "OutputFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <vector>

namespace host {

OutputFile::OutputFile(std::string path) : m_path(std::move(path))
{
    std::vector<char> name(m_path.begin(), m_path.end());
    const std::string suffix = ".XXXXXX";
    name.insert(name.end(), suffix.begin(), suffix.end());
    name.push_back('\0');
    const int fd = mkostemp(name.data(), O_CLOEXEC);
    if (fd < 0)
        return;
    m_temporary = name.data();
    // The mode a plain new file gets, not the temporary's private one.
    const mode_t mask = umask(0);
    umask(mask);
    fchmod(fd, 0666 & ~mask);
    m_file = fdopen(fd, "wb");
    if (!m_file) {
        close(fd);
        unlink(m_temporary.c_str());
        m_temporary.clear();
    }
}

OutputFile::~OutputFile()
{
    if (m_file)
        std::fclose(m_file);
    if (!m_temporary.empty())
        unlink(m_temporary.c_str());
}

bool OutputFile::commit()
{
    if (!m_file)
        return false;
    const bool written = std::fflush(m_file) == 0 && !std::ferror(m_file);
    const bool closed = std::fclose(m_file) == 0;
    m_file = nullptr;
    if (!written || !closed || std::rename(m_temporary.c_str(), m_path.c_str()) != 0)
        return false; // the temporary goes with the destructor
    m_temporary.clear();
    return true;
}

} // namespace host

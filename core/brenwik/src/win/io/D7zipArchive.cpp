#include "io/D7zipArchive.h"

#include "io/D7zipReader.h"
#include "io/DFileInputStream.h"
#include "lang/DExceptionBase.h"
#include "platform/files.h"
#include "platform/text.h"

#include <cstdint>
#include <vector>

namespace qev::io::detail {

using namespace qev::lang;

D7zipArchive& D7zipArchive::instance()
{
    static D7zipArchive archive;
    return archive;
}

D7zipArchive::~D7zipArchive()
{
    close();
}

bool D7zipArchive::storedName(const DString& name, std::string& out)
{
    std::u16string text(name.chars(), static_cast<size_t>(name.length()));
    for (char16_t& c : text) {
        if (c == u'\\')
            c = u'/';
    }
    if (!text.empty() && text.front() == u'/')
        text.erase(0, 1);
    return platform::utf16ToUtf8(text, out);
}

void D7zipArchive::open(const DStringPtr& name)
{
    close();
    DStringPtr path = programFilePath(name, true);
    HANDLE file = CreateFileW(path->chars(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        throwException(ExceptionCode::IOException);

    std::vector<D7zipIndex::Entry> entries;
    bool ok = false;
    {
        D7zipReader reader(file);
        if (reader.begin()) {
            D7zipEntryInfo info;
            int r = 0;
            uint32_t number = 0;
            while ((r = reader.next(info)) == 1) {
                if (!info.directory)
                    entries.push_back({info.name, number, info.size});
                ++number;
            }
            ok = r == 0;
        }
    }
    if (!ok) {
        CloseHandle(file);
        throwException(ExceptionCode::IOException);
    }
    m_file = file;
    m_index.build(std::move(entries));
    m_open = true;
}

void D7zipArchive::close()
{
    if (m_file)
        CloseHandle(m_file);
    m_file = nullptr;
    m_index.clear();
    m_open = false;
}

char* D7zipArchive::extract(const DStringPtr& name, int64_t& size)
{
    if (!m_open)
        throwException(ExceptionCode::IOException);
    std::string wanted;
    const D7zipIndex::Entry* entry = storedName(*name, wanted) ? m_index.find(wanted) : nullptr;
    // An entry too large for the stream's 32-bit size cannot be opened.
    if (!entry || entry->size > INT32_MAX)
        throwException(ExceptionCode::IOException);

    D7zipReader reader(m_file);
    if (!reader.begin())
        throwException(ExceptionCode::IOException);
    D7zipEntryInfo info;
    for (uint32_t i = 0; i <= entry->number; ++i) {
        if (reader.next(info) != 1)
            throwException(ExceptionCode::IOException);
    }
    // The file changed under the index: refuse rather than hand out another entry's bytes.
    if (info.name != entry->name || info.size != entry->size || info.directory)
        throwException(ExceptionCode::IOException);
    char* data = nullptr;
    if (!reader.readCurrent(entry->size, data))
        throwException(ExceptionCode::IOException);
    size = entry->size;
    return data;
}

} // namespace qev::io::detail

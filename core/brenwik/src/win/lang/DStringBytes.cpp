// The one DString conversion that leaves UTF-16: bytes in the system code page.
#include "lang/DString.h"
#include "lang/DbyteArray.h"

#include "platform/text.h"

namespace qev::lang {

DPtr<DbyteArray> DString::getBytes() const
{
    // Windows-1252 maps one unit to one byte; the size query still goes first so that the
    // array always has exactly the converted length.
    const int needed = m_length > 0 ? WideCharToMultiByte(CP_ACP, 0, m_chars, m_length, nullptr, 0,
                                                          nullptr, nullptr)
                                    : 0;
    DPtr<DbyteArray> bytes(new DbyteArray(needed));
    if (needed > 0)
        WideCharToMultiByte(CP_ACP, 0, m_chars, m_length, reinterpret_cast<char*>(bytes->getData()),
                            needed, nullptr, nullptr);
    return bytes;
}

} // namespace qev::lang

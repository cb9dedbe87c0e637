// Any bytes as an option record read back from the record store. Bit 0 of the first byte: the
// rest is record 1 of the option's store, and loading gives its first four bytes as a
// big-endian integer, or the default for a shorter record. Otherwise the rest is the store's
// registry key as another program may have left it (values separated by 0xFF, each a name up
// to the first 0 and data), and loading gives some integer without raising anything.
#include "ProgramFolder.h"
#include "RecordSupport.h"

#include "gamelib/GameMenu.h"

#include "platform/registry.h"

#include <cstdlib>
#include <string>

using namespace qev::lang;

namespace {

constexpr int32_t kDefault = -123456;

void putValues(const uint8_t* data, size_t size)
{
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, u"Software\\Vostrelle\\null\\op_fz", 0, nullptr, 0, 0,
                        nullptr, &key, nullptr) != ERROR_SUCCESS)
        std::abort();
    size_t start = 0;
    while (start < size) {
        size_t end = start;
        while (end < size && data[end] != 0xFF)
            ++end;
        size_t nameEnd = start;
        while (nameEnd < end && data[nameEnd] != 0)
            ++nameEnd;
        std::u16string name(data + start, data + nameEnd);
        const BYTE* value = data + (nameEnd < end ? nameEnd + 1 : end);
        RegSetValueExW(key, name.c_str(), 0, REG_BINARY, value,
                       static_cast<DWORD>(data + end - value));
        start = end + 1;
    }
    RegCloseKey(key);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0 || size > 4096)
        return 0;
    fuzzsupport::freshRecordStore();
    const bool record = data[0] & 1;
    if (record)
        fuzzsupport::putRecords(u"op_fz", {std::string(data + 1, data + size)});
    else
        putValues(data + 1, size - 1);
    int32_t value = 0;
    try {
        value = gamelib::GameMenu::loadOption(u"fz", kDefault);
    } catch (DExceptionBase* e) {
        fuzzsupport::expectOnly(e, {});
    }
    if (!record)
        return 0;
    const int32_t expected = size - 1 >= 4
                                 ? static_cast<int32_t>(fuzzsupport::readBigEndian32(data, size, 1))
                                 : kDefault;
    if (value != expected)
        std::abort();
    return 0;
}

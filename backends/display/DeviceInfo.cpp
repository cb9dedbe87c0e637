#include "display/DeviceInfo.h"

#include "platform/sysinfo.h"

#include "display/RuntimeBindings.h"

#include <cstddef>

namespace ScreenHAL {

namespace {

struct Cache
{
    int cpu = -1;
    int model = -1;
};

Cache& cache()
{
    static Cache c;
    return c;
}

const char* const kModels[] = {"Compaq iPAQ H3800", "Compale P6C",  "Typhoon",      "Toshiba e310",
                               "Toshiba e330",      "Toshiba e740", "Toshiba e750", "MotoQ"};

char16_t lowerAscii(char16_t c)
{
    return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c + 32) : c;
}

} // namespace

int DeviceInfo::cpuTypeFromId(uint32_t id)
{
    if ((id >> 12) == 0x69052)
        return kCpuXScale;
    if ((id >> 16) == 0x6901)
        return kCpuStrongARM;
    return kCpuOther;
}

int DeviceInfo::modelFromOemText(const char16_t* text)
{
    if (!text)
        return 0;
    for (int i = 0; i < 8; ++i) {
        const char* name = kModels[i];
        std::size_t n = 0;
        while (name[n] && text[n] && lowerAscii(text[n]) == lowerAscii(char16_t(name[n])))
            ++n;
        if (!name[n])
            return i + 1;
    }
    return 0;
}

int DeviceInfo::cpuType()
{
    Cache& c = cache();
    if (c.cpu < 0) {
        // The identification register needs kernel mode on the device.
        RuntimeBindings& b = RuntimeBindings::instance();
        BOOL was = b.setKMode ? b.setKMode(TRUE) : FALSE;
        uint32_t id = ReadMainIdRegister();
        if (b.setKMode)
            b.setKMode(was);
        c.cpu = cpuTypeFromId(id);
    }
    return c.cpu;
}

int DeviceInfo::deviceModel()
{
    Cache& c = cache();
    if (c.model < 0) {
        char16_t text[260] = {};
        if (!SystemParametersInfoW(SPI_GETOEMINFO, 260, text, 0))
            text[0] = 0;
        text[259] = 0;
        c.model = modelFromOemText(text);
    }
    return c.model;
}

void DeviceInfo::resetForTests()
{
    cache() = Cache{};
}

} // namespace ScreenHAL

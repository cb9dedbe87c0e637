#include "ScriptOutput.h"

#include "OutputFile.h"

#include "platform/registry.h"
#include "platform/text.h"

#include <png.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <memory>

namespace host {

std::string fnv1a64(const void* bytes, size_t size)
{
    uint64_t h = 1469598103934665603ull;
    const auto* p = static_cast<const uint8_t*>(bytes);
    for (size_t i = 0; i < size; ++i)
        h = (h ^ p[i]) * 1099511628211ull;
    char text[17];
    std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(h));
    return text;
}

bool writeFramePng(const std::string& path, const uint16_t* pixels, int width, int height,
                   std::string& problem)
{
    OutputFile file(path);
    if (!file.get()) {
        problem = "cannot write " + path;
        return false;
    }
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!info) {
        png_destroy_write_struct(&png, nullptr);
        problem = "out of memory for " + path;
        return false;
    }
    std::vector<png_byte> row(static_cast<size_t>(width) * 3);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        problem = "cannot write " + path;
        return false;
    }
    png_init_io(png, file.get());
    png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8,
                 PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const uint16_t c = pixels[static_cast<size_t>(y) * width + x];
            const int r = c >> 11, g = (c >> 5) & 63, b = c & 31;
            row[x * 3] = static_cast<png_byte>((r << 3) | (r >> 2));
            row[x * 3 + 1] = static_cast<png_byte>((g << 2) | (g >> 4));
            row[x * 3 + 2] = static_cast<png_byte>((b << 3) | (b >> 2));
        }
        png_write_row(png, row.data());
    }
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    if (!file.commit()) {
        problem = "cannot write " + path;
        return false;
    }
    return true;
}

namespace {

std::vector<std::u16string> subKeys(HKEY key)
{
    std::vector<std::u16string> names;
    for (DWORD i = 0;; ++i) {
        WCHAR name[256];
        DWORD length = 256;
        if (RegEnumKeyExW(key, i, name, &length, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS)
            break;
        names.emplace_back(name, length);
    }
    std::sort(names.begin(), names.end());
    return names;
}

// Record id -> bytes; value names that are not record ids are left out.
std::map<long long, std::vector<uint8_t>> records(HKEY store)
{
    std::map<long long, std::vector<uint8_t>> out;
    for (DWORD i = 0;; ++i) {
        WCHAR name[256];
        DWORD length = 256, type = 0, size = 0;
        if (RegEnumValueW(store, i, name, &length, nullptr, &type, nullptr, &size) != ERROR_SUCCESS)
            break;
        std::vector<uint8_t> data(size);
        DWORD got = size;
        if (type != REG_BINARY ||
            RegQueryValueExW(store, name, nullptr, &type, data.data(), &got) != ERROR_SUCCESS)
            continue;
        long long id = 0;
        bool digits = length > 0 && length < 12;
        for (DWORD k = 0; k < length && digits; ++k) {
            digits = name[k] >= u'0' && name[k] <= u'9';
            id = id * 10 + (name[k] - u'0');
        }
        if (digits) {
            data.resize(got);
            out[id] = std::move(data);
        }
    }
    return out;
}

} // namespace

std::string recordStoresText(const std::u16string& applicationName)
{
    std::string text;
    HKEY app = nullptr;
    const std::u16string path = u"Software\\Vostrelle\\" + applicationName;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &app) != ERROR_SUCCESS)
        return text;
    for (const std::u16string& storeName : subKeys(app)) {
        HKEY store = nullptr;
        if (RegOpenKeyExW(app, storeName.c_str(), 0, KEY_READ, &store) != ERROR_SUCCESS)
            continue;
        std::string name;
        platform::utf16ToUtf8(storeName, name);
        for (const auto& [id, bytes] : records(store)) {
            text += name + " " + std::to_string(id) + " ";
            static const char digits[] = "0123456789abcdef";
            for (uint8_t b : bytes) {
                text += digits[b >> 4];
                text += digits[b & 15];
            }
            text += "\n";
        }
        RegCloseKey(store);
    }
    RegCloseKey(app);
    return text;
}

} // namespace host

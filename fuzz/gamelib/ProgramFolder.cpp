#include "ProgramFolder.h"

#include "gamelib/ScreenCanvas.h"
#include "platform/DeviceProfile.h"

#include <png.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <vector>

// The first graphics context sets up the system's font library, whose caches live until exit.
extern "C" const char* __lsan_default_suppressions()
{
    return "leak:libfontconfig.so\n";
}

namespace fuzzsupport {

std::string temporaryFolder(const std::string& prefix)
{
    // In memory where the system has such a folder: the targets write files for every input.
    for (const char* base : {"/dev/shm", "/tmp"}) {
        std::string pattern = std::string(base) + "/" + prefix + "-XXXXXX";
        if (mkdtemp(pattern.data()))
            return pattern;
    }
    std::abort();
}

const std::string& programFolder()
{
    // Never destroyed, so that the clean-up at exit can still name it.
    static const std::string* folder = [] {
        auto* f = new std::string(temporaryFolder("ph-fuzz-gamelib"));
        platform::DeviceProfile::current().programFile = *f + "/game.exe";
        std::atexit([] { std::filesystem::remove_all(programFolder()); });
        return f;
    }();
    return *folder;
}

void writeFile(const std::string& name, const uint8_t* data, size_t size)
{
    const std::filesystem::path path = programFolder() + name;
    // Most inputs write where an earlier one did: the folders are made only when missing.
    FILE* out = std::fopen(path.c_str(), "wb");
    if (!out) {
        std::filesystem::create_directories(path.parent_path());
        out = std::fopen(path.c_str(), "wb");
    }
    if (!out)
        std::abort();
    if (size > 0 && std::fwrite(data, 1, size, out) != size)
        std::abort();
    std::fclose(out);
}

void writeFile(const std::string& name, const std::string& bytes)
{
    writeFile(name, reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
}

std::string png(int w, int h, uint32_t rgb)
{
    std::vector<uint8_t> pixels(static_cast<size_t>(w) * h * 3);
    for (size_t i = 0; i < pixels.size(); i += 3) {
        pixels[i] = static_cast<uint8_t>(rgb >> 16);
        pixels[i + 1] = static_cast<uint8_t>(rgb >> 8);
        pixels[i + 2] = static_cast<uint8_t>(rgb);
    }
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(w);
    image.height = static_cast<png_uint_32>(h);
    image.format = PNG_FORMAT_RGB;
    png_alloc_size_t size = 0;
    png_image_write_to_memory(&image, nullptr, &size, 0, pixels.data(), 0, nullptr);
    std::string out(size, '\0');
    png_image_write_to_memory(&image, out.data(), &size, 0, pixels.data(), 0, nullptr);
    out.resize(size);
    return out;
}

void useScreen(int32_t width, int32_t height)
{
    gamelib::screenWidth = width;
    gamelib::screenHeight = height;
    if (!gamelib::screenGraphics)
        gamelib::screenGraphics =
            qev::microedition::lcdui::DImage::createImage(width, height)->getGraphics();
}

void expectOnly(qev::lang::DExceptionBase* e, std::initializer_list<int32_t> allowed)
{
    for (int32_t code : allowed) {
        if (e->code == code) {
            delete e;
            return;
        }
    }
    std::string message;
    for (char16_t c : e->text())
        message.push_back(c < 0x80 ? static_cast<char>(c) : '?');
    std::fprintf(stderr, "unexpected exception 0x%x: %s\n", static_cast<unsigned>(e->code),
                 message.c_str());
    std::abort();
}

uint32_t readBigEndian32(const uint8_t* data, size_t size, size_t at)
{
    uint32_t v = 0;
    for (size_t i = at; i < at + 4; ++i)
        v = v << 8 | (i < size ? data[i] : 0u);
    return v;
}

} // namespace fuzzsupport

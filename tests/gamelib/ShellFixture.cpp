#include "ShellFixture.h"

#include "gamelib/GameLib.h"
#include "gamelib/ScreenCanvas.h"

#include "io/D7zipInputStream.h"
#include "lang/DbyteArray.h"

#include <png.h>

#include <vector>

namespace shelltest {

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

ShellTest::ShellTest()
{
    resetShellGlobals();
    profile().programFile = folder.path() + "/game.exe";
    gamelib::screenWidth = 240;
    gamelib::screenHeight = 320;
}

ShellTest::~ShellTest()
{
    qev::io::D7zipInputStream::closeArchive();
    resetShellGlobals();
}

void ShellTest::openArchive(const std::map<std::string, std::string>& entries)
{
    ASSERT_TRUE(sevenzip::pack(folder.path() + "/game.dat", entries, sevenzip::nonSolid("Copy")))
        << "the 7z tool (p7zip-full) could not build game.dat";
    qev::io::D7zipInputStream::openArchive(u"game.dat", u"");
}

std::string ShellTest::readAll(qev::io::DInputStreamPtr in)
{
    std::string out;
    qev::lang::DbyteArrayPtr buf = new qev::lang::DbyteArray(256);
    for (int32_t n; (n = in->read(buf, 0, buf->length)) > 0;)
        out.append(reinterpret_cast<const char*>(buf->getData()), static_cast<size_t>(n));
    return out;
}

void resetShellGlobals()
{
    using namespace gamelib;
    currentScreen = nullptr;
    screenCanvas = nullptr;
    screenGraphics = nullptr;
    screenWidth = screenHeight = 0;
    screenSupported = 0;
    graphicsSet = nullptr;
    folderAliases = nullptr;
    languageIndex = -1;
    languageNames = languageShortNames = nullptr;
    languageCount = 0;
    soundAnswer = soundAnswered = 0;
    frameClock = lastTickDuration = 0;
    ScreenCanvas::clearKeys();
    softKeyLeftCode = softKeyRightCode = 0;
    levelJumpSequence = nullptr;
    levelJumpFlag = 0;
    levelJumpNumber = 0;
    shellScreens() = ShellScreens{};
    gameLib = nullptr;
}

} // namespace shelltest

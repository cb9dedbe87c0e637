#include "ToolSession.h"

#include "gamelib/GameStatics.h"
#include "gamelib/ImageFont.h"
#include "gamelib/ScreenCanvas.h"

#include "io/D7zipInputStream.h"
#include "lang/DExceptionBase.h"
#include "platform/DeviceProfile.h"
#include "raster/ImageHolder.h"

#include <png.h>

#include <cstdio>
#include <filesystem>
#include <vector>

namespace toolsupport {

bool writePng(const qev::microedition::lcdui::DImagePtr& image, const std::string& path)
{
    const Surface& s = *image->getHolder()->surface;
    std::vector<uint8_t> rgb(static_cast<size_t>(s.width) * s.height * 3);
    for (int y = 0; y < s.height; ++y) {
        for (int x = 0; x < s.width; ++x) {
            const uint16_t p = s.row(y)[x];
            uint8_t* o = &rgb[(static_cast<size_t>(y) * s.width + x) * 3];
            o[0] = static_cast<uint8_t>((p >> 11) * 255 / 31);
            o[1] = static_cast<uint8_t>(((p >> 5) & 63) * 255 / 63);
            o[2] = static_cast<uint8_t>((p & 31) * 255 / 31);
        }
    }
    png_image out{};
    out.version = PNG_IMAGE_VERSION;
    out.width = static_cast<png_uint_32>(s.width);
    out.height = static_cast<png_uint_32>(s.height);
    out.format = PNG_FORMAT_RGB;
    return png_image_write_to_file(&out, path.c_str(), 0, rgb.data(), 0, nullptr) != 0;
}

ToolSession::ToolSession(const char* name) : m_name(name) {}

ToolSession::~ToolSession()
{
    gamelib::GameStatics::release();
    gamelib::screenGraphics = nullptr;
    m_screen = nullptr;
    m_lib = nullptr;
}

bool ToolSession::parseArguments(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s <folder holding game.dat> <out folder>\n", m_name);
        return false;
    }
    useFolders(argv[1], argv[2]);
    return true;
}

void ToolSession::useFolders(const std::string& dataFolder, const std::string& outFolder)
{
    m_dataFolder = dataFolder;
    m_outFolder = outFolder;
    std::filesystem::create_directories(m_outFolder);
    platform::DeviceProfile::current().programFile = dataFolder + "/game.exe";
}

int ToolSession::run(const std::function<int(ToolSession&)>& body)
{
    std::error_code error;
    if (!std::filesystem::is_regular_file(m_dataFolder + "/game.dat", error)) {
        std::fprintf(stderr, "%s: no game.dat in %s (the build makes one beside the game)\n",
                     m_name, m_dataFolder.c_str());
        return 2;
    }
    // The options a run saves go to a store of this run only.
    platform::DeviceProfile& profile = platform::DeviceProfile::current();
    profile.registryPath = m_outFolder + "/" + m_name + "-registry.sqlite";
    std::filesystem::remove(profile.registryPath);
    m_lib = new gamelib::GameLib();
    int rc = 1;
    try {
        qev::io::D7zipInputStream::openArchive(u"game.dat", u"");
        rc = body(*this);
    } catch (qev::lang::DExceptionBase* e) {
        std::fprintf(stderr, "%s: failed with exception 0x%x\n", m_name,
                     static_cast<unsigned>(e->code));
        delete e;
    }
    return rc;
}

bool ToolSession::openScreen(int width, int height)
{
    using namespace gamelib;
    screenWidth = width;
    screenHeight = height;
    m_screen = qev::microedition::lcdui::DImage::createImage(width, height);
    screenGraphics = m_screen->getGraphics();
    if (!GameLib::loadScreenConfig()) {
        std::fprintf(stderr, "%s: %dx%d is not supported by this game.dat\n", m_name, width,
                     height);
        return false;
    }
    GameStatics::init();
    loadImageFonts();
    return true;
}

bool ToolSession::shot(const std::string& shot)
{
    const std::string path = m_outFolder + "/" + shot + ".png";
    const bool ok = writePng(m_screen, path);
    std::fprintf(stderr, "%s: %s %s\n", m_name, ok ? "wrote" : "cannot write", path.c_str());
    return ok;
}

} // namespace toolsupport

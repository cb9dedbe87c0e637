// Any bytes as the gallery's picture list "/img/all.txt" (after four bytes that give the
// picture number): composing a picture raises nothing, and a picture whose group names the
// one background that exists is drawn with it.
#include "ProgramFolder.h"

#include "gamelib/GameLib.h"

#include "microedition/lcdui/DGraphics.h"
#include "raster/ImageDecoder.h"

#include <cstdlib>
#include <string>
#include <vector>

using namespace qev::lang;
using qev::microedition::lcdui::DGraphicsPtr;
using qev::microedition::lcdui::DImage;
using qev::microedition::lcdui::DImagePtr;

namespace {

constexpr int32_t kWidth = 240;
constexpr int32_t kHeight = 320;
constexpr int32_t kBackgroundWidth = 100;
constexpr int32_t kBackgroundHeight = 80;
constexpr uint32_t kBackground = 0x3366CC;
constexpr uint32_t kOverlay = 0xCC3300;

uint16_t rgb565(uint32_t rgb)
{
    return static_cast<uint16_t>((rgb >> 19 & 0x1F) << 11 | (rgb >> 10 & 0x3F) << 5 |
                                 (rgb >> 3 & 0x1F));
}

void prepareOnce()
{
    static bool done = false;
    if (done)
        return;
    done = true;
    fuzzsupport::useScreen(kWidth, kHeight);
    gamelib::graphicsSet = u"fz";
    // The decoder goes by the content, so a PNG serves as the ".jpg" background.
    fuzzsupport::writeFile("/graphics/fz/img/bg.jpg",
                           fuzzsupport::png(kBackgroundWidth, kBackgroundHeight, kBackground));
    fuzzsupport::writeFile("/graphics/fz/img/dress/o.png", fuzzsupport::png(10, 10, kOverlay));
}

// The list's lines as the 8-bit format reads them.
std::vector<std::string> linesOf(const uint8_t* data, size_t size)
{
    std::vector<std::string> lines;
    size_t i = 0;
    while (i < size) {
        std::string line;
        while (i < size && data[i] != '\r')
            line.push_back(static_cast<char>(data[i++]));
        i += 2;
        if (line.empty())
            break;
        lines.push_back(line);
    }
    return lines;
}

// The background named by the group of line t.
std::string backgroundOf(const std::vector<std::string>& lines, size_t t)
{
    size_t first = t;
    while (first > 0 && lines[first - 1][0] == lines[t][0])
        --first;
    return lines[first].size() >= 4 ? lines[first].substr(4) : std::string();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 4)
        return 0;
    prepareOnce();
    const int32_t n = static_cast<int32_t>(fuzzsupport::readBigEndian32(data, size, 0));
    fuzzsupport::writeFile("/graphics/fz/img/all.txt", data + 4, size - 4);
    DImagePtr canvas = DImage::createImage(kWidth, kHeight);
    DGraphicsPtr g = canvas->getGraphics();
    try {
        gamelib::GameLib::drawPicture(n, g);
    } catch (DExceptionBase* e) {
        fuzzsupport::expectOnly(e, {});
    }
    const std::vector<std::string> lines = linesOf(data + 4, size - 4);
    if (n < 1 || static_cast<size_t>(n) > lines.size() ||
        backgroundOf(lines, static_cast<size_t>(n - 1)) != "bg")
        return 0;
    // The background's top-left pixel: the background, or an overlay over it.
    const Surface& s = *canvas->getHolder()->surface;
    const uint16_t corner =
        s.row((kHeight - kBackgroundHeight) / 2)[(kWidth - kBackgroundWidth) / 2];
    if (corner != rgb565(kBackground) && corner != rgb565(kOverlay))
        std::abort();
    return 0;
}

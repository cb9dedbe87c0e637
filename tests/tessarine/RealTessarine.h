// The brick-breaker started on the game data built from data/ at a given screen size, on a
// frozen fake clock (the start's own waits pass at once), and stopped again.
#pragma once

#ifdef PH_GAME_DATA_FOLDER

#include "tessarine/Tessarine.h"

#include "gamelib/GameLib.h"
#include "gamelib/GameStatics.h"
#include "gamelib/ImageFont.h"
#include "gamelib/ScreenCanvas.h"

#include "io/D7zipInputStream.h"
#include "microedition/lcdui/DImage.h"
#include "platform/DeviceProfile.h"
#include "platform/testing/FakeClock.h"

#include <string>

namespace tessarinetest {

struct RealTessarine
{
    RealTessarine(int width, int height)
    {
        platform::DeviceProfile& profile = platform::DeviceProfile::current();
        profile.clock = platform::ClockMode::Fake;
        platform::FakeClock::freeze(100000);
        profile.programFile = std::string(PH_GAME_DATA_FOLDER) + "/pallasterhorn";
        qev::io::D7zipInputStream::openArchive(u"game.dat", u"");
        gamelib::screenWidth = width;
        gamelib::screenHeight = height;
        screen = qev::microedition::lcdui::DImage::createImage(width, height);
        gamelib::screenGraphics = screen->getGraphics();
        supported = gamelib::GameLib::loadScreenConfig() == 1;
        gamelib::GameStatics::init();
        gamelib::loadImageFonts();
        gamelib::languageIndex = 0;
        game = new tessarine::Tessarine();
        platform::FakeClock::autoAdvance(1000);
        game->start();
        platform::FakeClock::autoAdvance(0);
    }
    ~RealTessarine()
    {
        game->stop();
        game = nullptr;
        gamelib::GameStatics::release();
        qev::io::D7zipInputStream::closeArchive();
    }
    RealTessarine(const RealTessarine&) = delete;
    RealTessarine& operator=(const RealTessarine&) = delete;

    qev::lang::DPtr<gamelib::GameLib> lib = new gamelib::GameLib();
    qev::microedition::lcdui::DImagePtr screen;
    tessarine::TessarinePtr game;
    // Whether the archive has a configuration for the size.
    bool supported = false;
};

} // namespace tessarinetest

#endif

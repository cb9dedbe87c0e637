// A small game frame drawn through DGameCanvas into a real SDL window (offscreen video driver):
// the picture must reach the window surface, scaled by the window's factor.
#include "DisplayFixture.h"

#include "microedition/lcdui/DGameCanvas.h"
#include "microedition/lcdui/DGraphics.h"

#include "platform/window/WindowSystem.h"
#include "raster/ImageHolder.h"

#include <SDL.h>

#include <cstring>

using namespace qev::lang;
using namespace qev::microedition::lcdui;

namespace {

class GameCanvasDemoTest : public displayfixture::DisplayFixture
{
};

SDL_Window* onlySdlWindow()
{
    for (Uint32 id = 1; id < 64; ++id)
        if (SDL_Window* w = SDL_GetWindowFromID(id))
            return w;
    return nullptr;
}

// The colour SDL shows at a desktop pixel, in 8-bit channels.
SDL_Color shownAt(SDL_Window* window, int x, int y)
{
    SDL_Surface* s = SDL_GetWindowSurface(window);
    SDL_LockSurface(s);
    const auto* row = static_cast<const uint8_t*>(s->pixels) + static_cast<size_t>(y) * s->pitch;
    Uint32 value = 0;
    std::memcpy(&value, row + x * s->format->BytesPerPixel, s->format->BytesPerPixel);
    SDL_UnlockSurface(s);
    SDL_Color c{};
    SDL_GetRGB(value, s->format, &c.r, &c.g, &c.b);
    return c;
}

TEST_F(GameCanvasDemoTest, AFrameDrawnOnTheCanvasAppearsInTheSdlWindow)
{
    if (!start(/*sdl=*/true))
        return;
    game::DGameCanvasPtr canvas(new game::DGameCanvas);
    display->setCurrent(canvas);

    DPtr<DGraphics> g = canvas->getGraphics();
    g->setColor(0x000080); // a dark blue sky
    g->fillRect(0, 0, 239, 319);
    g->setColor(0xFFFF00); // a yellow paddle at the bottom
    g->fillRect(100, 300, 39, 7);
    g->setColor(0xFF0000); // a red ball
    g->fillRect(118, 150, 3, 3);
    g->setColor(0xFFFFFF);
    g->drawString(u"SCORE 120", 4, 4, DGraphics::LEFT | DGraphics::TOP);
    ASSERT_TRUE(canvas->flushGraphics());

    // The window's picture is the canvas, pixel for pixel.
    const Surface& image = *canvas->getImage()->surface;
    for (int y = 0; y < 320; ++y)
        for (int x = 0; x < 240; ++x)
            ASSERT_EQ(windowPixel(x, y), image.row(y)[x]) << x << "," << y;

    SDL_Window* native = onlySdlWindow();
    ASSERT_NE(native, nullptr);
    const int scale = platform::WindowSystem::scale();
    SDL_Color sky = shownAt(native, 10 * scale, 200 * scale);
    SDL_Color paddle = shownAt(native, 120 * scale + 1, 303 * scale + 1);
    SDL_Color ball = shownAt(native, 119 * scale, 151 * scale);
    EXPECT_EQ(sky.r, 0);
    EXPECT_EQ(sky.b >> 3, 0x80 >> 3);
    EXPECT_EQ(paddle.r >> 3, 31);
    EXPECT_EQ(paddle.g >> 2, 63);
    EXPECT_EQ(paddle.b, 0);
    EXPECT_EQ(ball.r >> 3, 31);
    EXPECT_EQ(ball.g, 0);

    bool textInk = false;
    for (int y = 4; y < 20 && !textInk; ++y)
        for (int x = 4; x < 80 && !textInk; ++x)
            textInk = image.row(y)[x] == 0xFFFF;
    EXPECT_TRUE(textInk);
}

} // namespace

// The MIDlet and its display: registration, the current displayable, flushes of a canvas into
// the window (also through a rotated display, while suspended and without a display), opening
// web addresses.
#include "DisplayFixture.h"

#include "lang/DExceptionBase.h"
#include "microedition/lcdui/DGameCanvas.h"
#include "microedition/lcdui/DGraphics.h"

#include "platform/shell.h"
#include "platform/window/WindowSystem.h"
#include "raster/ImageHolder.h"

#include <string>
#include <vector>

using namespace qev::lang;
using namespace qev::microedition::lcdui;
using displayfixture::DisplayFixture;
using displayfixture::TestMIDlet;
using qev::microedition::midlet::DMIDlet;

namespace {

template <class F> int32_t codeOf(F call)
{
    try {
        call();
    } catch (DExceptionBase* e) {
        int32_t code = e->code;
        delete e;
        return code;
    }
    return 0;
}

// A pattern in which every pixel differs from its neighbours, its mirror images and its turns.
uint16_t pattern(int x, int y)
{
    return static_cast<uint16_t>((x * 7 + y * 311) ^ (y << 9));
}

void drawPattern(DCanvas& canvas)
{
    Surface& s = *canvas.getImage()->surface;
    for (int y = 0; y < s.height; ++y)
        for (int x = 0; x < s.width; ++x)
            s.row(y)[x] = pattern(x, y);
}

// Logs when the display tells it that it is shown or hidden, and its shown flag at that moment.
class LoggingCanvas : public game::DGameCanvas
{
  public:
    explicit LoggingCanvas(std::vector<std::string>& log, std::string name)
        : m_log(log), m_name(std::move(name))
    {
    }
    ~LoggingCanvas() override { m_log.push_back(m_name + " gone"); }
    void showNotify() override
    {
        m_log.push_back(m_name + " show" + (isShown() ? " (shown)" : ""));
    }
    void hideNotify() override
    {
        m_log.push_back(m_name + " hide" + (isShown() ? " (shown)" : ""));
    }

  private:
    std::vector<std::string>& m_log;
    std::string m_name;
};

class DisplayTest : public DisplayFixture
{
  protected:
    void TearDown() override
    {
        platform::setUrlOpener(nullptr);
        DisplayFixture::TearDown();
    }
};

TEST_F(DisplayTest, TheMidletIsGlobalAndEndsWhenTold)
{
    DPtr<TestMIDlet> m(new TestMIDlet);
    EXPECT_EQ(DMIDlet::global().get(), m.get());
    EXPECT_TRUE(m->keepRunning());
    EXPECT_TRUE(m->getAppProperty(u"app.name").isNull());
    EXPECT_TRUE(m->getDisplay().isNull());
    m->notifyDestroyed();
    EXPECT_FALSE(m->keepRunning());

    // The global reference is the last one to go; the MIDlet then dies with it.
    m = nullptr;
    ASSERT_NE(DMIDlet::global().get(), nullptr);
    DMIDlet::global() = nullptr;
}

TEST_F(DisplayTest, TheDisplayRegistersWithTheMidletAndShowsAFirstFrame)
{
    start();
    EXPECT_EQ(DDisplay::global(), display.get());
    EXPECT_EQ(DDisplay::getDisplay(DMIDlet::global()).get(), display.get());
    EXPECT_EQ(display->getWidth(), 240);
    EXPECT_EQ(display->getHeight(), 320);
    EXPECT_GE(headless->presentCount(window), 1);
    EXPECT_EQ(windowPixel(100, 100), 0); // the first frame is the fresh, black back buffer
    EXPECT_EQ(codeOf([] { DDisplay::getDisplay(DPtr<DMIDlet>()); }),
              ExceptionCode::NullPointerException);

    // Letting go of the MIDlet lets go of its display, which clears the global display.
    display = nullptr;
    midlet = nullptr;
    DMIDlet::global() = nullptr;
    EXPECT_EQ(DDisplay::global(), nullptr);
}

TEST_F(DisplayTest, WithoutAMidletThereIsNoDisplay)
{
    headless = &platform::WindowSystem::useHeadless();
    ScreenHAL::DisplayContext lone(nullptr, ScreenHAL::DisplayParams{240, 320, 0, 1});
    EXPECT_EQ(codeOf([&] { DDisplayPtr d(new DDisplay(&lone)); }),
              ExceptionCode::NullPointerException);
    EXPECT_EQ(DDisplay::global(), nullptr);
}

TEST_F(DisplayTest, SetCurrentHidesTheOldAndShowsTheNew)
{
    start();
    std::vector<std::string> log;
    DPtr<LoggingCanvas> a(new LoggingCanvas(log, "a"));
    DPtr<LoggingCanvas> b(new LoggingCanvas(log, "b"));
    display->setCurrent(a);
    EXPECT_TRUE(a->isShown());
    display->setCurrent(a);
    display->setCurrent(b);
    EXPECT_FALSE(a->isShown());
    EXPECT_TRUE(b->isShown());
    EXPECT_EQ(display->getCurrent().get(), b.get());
    EXPECT_EQ(log, (std::vector<std::string>{"a show", "a hide (shown)", "a show", "a hide (shown)",
                                             "b show"}));

    // The display holds its current displayable until it goes itself.
    b = nullptr;
    EXPECT_EQ(log.back(), "b show");
    display = nullptr;
    midlet = nullptr;
    DMIDlet::global() = nullptr;
    EXPECT_EQ(log.back(), "b gone");
}

TEST_F(DisplayTest, OneFlushPutsTheCanvasInTheWindow)
{
    start();
    game::DGameCanvasPtr canvas(new game::DGameCanvas);
    display->setCurrent(canvas);
    drawPattern(*canvas);
    ASSERT_TRUE(canvas->flushGraphics());
    for (int y = 0; y < 320; ++y)
        for (int x = 0; x < 240; ++x)
            ASSERT_EQ(windowPixel(x, y), pattern(x, y)) << x << "," << y;
}

TEST_F(DisplayTest, ACanvasThatIsNotShownDrawsNothing)
{
    start();
    game::DGameCanvasPtr shown(new game::DGameCanvas);
    game::DGameCanvasPtr other(new game::DGameCanvas);
    display->setCurrent(shown);
    drawPattern(*other);
    const int presents = headless->presentCount(window);
    EXPECT_FALSE(other->flushGraphics());
    EXPECT_EQ(headless->presentCount(window), presents);
    EXPECT_EQ(windowPixel(5, 5), 0);

    // Without a current displayable the display has nothing to flush.
    display->setCurrent(DDisplayablePtr());
    EXPECT_FALSE(display->flushGraphics());
    EXPECT_EQ(headless->presentCount(window), presents);
}

TEST_F(DisplayTest, ARotatedDisplayTurnsTheCanvasOntoTheScreen)
{
    headless = &platform::WindowSystem::useHeadless();
    start();
    // A second context on the same window, asking for a quarter turn.
    display = nullptr;
    midlet = nullptr;
    DMIDlet::global() = nullptr;
    context.reset();
    context = std::make_unique<ScreenHAL::DisplayContext>(window,
                                                          ScreenHAL::DisplayParams{240, 320, 3, 1});
    midlet = new TestMIDlet;
    display = new DDisplay(context.get());
    EXPECT_EQ(display->getWidth(), 320);
    EXPECT_EQ(display->getHeight(), 240);

    game::DGameCanvasPtr canvas(new game::DGameCanvas);
    EXPECT_EQ(canvas->getWidth(), 320);
    display->setCurrent(canvas);
    drawPattern(*canvas);
    ASSERT_TRUE(canvas->flushGraphics());
    // A quarter turn back: screen (x, y) shows canvas (y, 239 - x).
    for (int y = 0; y < 320; y += 3)
        for (int x = 0; x < 240; x += 3)
            ASSERT_EQ(windowPixel(x, y), pattern(y, 239 - x)) << x << "," << y;
}

TEST_F(DisplayTest, ASuspendedDisplayStillKnowsItsSizeAndSkipsFlushes)
{
    headless = &platform::WindowSystem::useHeadless();
    start();
    // Rebuild the display while the window is inactive: no back buffer can be had.
    display = nullptr;
    midlet = nullptr;
    DMIDlet::global() = nullptr;
    SendMessageW(window, WM_ACTIVATE, WA_INACTIVE, 0);
    midlet = new TestMIDlet;
    display = new DDisplay(context.get());
    EXPECT_EQ(display->getWidth(), 240);
    EXPECT_EQ(display->getHeight(), 320);

    game::DGameCanvasPtr canvas(new game::DGameCanvas);
    EXPECT_EQ(canvas->getWidth(), 240);
    display->setCurrent(canvas);
    drawPattern(*canvas);
    EXPECT_FALSE(canvas->flushGraphics());
    EXPECT_EQ(windowPixel(7, 9), 0);

    SendMessageW(window, WM_ACTIVATE, WA_ACTIVE, 0);
    EXPECT_TRUE(canvas->flushGraphics());
    EXPECT_EQ(windowPixel(7, 9), pattern(7, 9));
}

TEST_F(DisplayTest, WithoutADisplayTheSizeIsTheRequestedOneAndFlushesReportFailure)
{
    headless = &platform::WindowSystem::useHeadless();
    ScreenHAL::DisplayContext none(nullptr, ScreenHAL::DisplayParams{176, 208, 0, 1});
    ASSERT_FALSE(none.hasDisplay());
    midlet = new TestMIDlet;
    display = new DDisplay(&none);
    EXPECT_EQ(display->getWidth(), 176);
    EXPECT_EQ(display->getHeight(), 208);
    game::DGameCanvasPtr canvas(new game::DGameCanvas);
    display->setCurrent(canvas);
    EXPECT_FALSE(canvas->flushGraphics());
    display = nullptr;
    midlet = nullptr;
    DMIDlet::global() = nullptr;
}

TEST_F(DisplayTest, PlatformRequestOpensWebAddressesOrReportsFailure)
{
    DPtr<TestMIDlet> m(new TestMIDlet);
    std::vector<std::string> opened;
    bool works = true;
    platform::setUrlOpener([&](const std::string& url) {
        opened.push_back(url);
        return works;
    });
    EXPECT_FALSE(m->platformRequest(u"https://example.org/pallasterhorn"));
    EXPECT_EQ(opened, std::vector<std::string>{"https://example.org/pallasterhorn"});

    works = false;
    EXPECT_EQ(codeOf([&] { m->platformRequest(u"http://example.org/"); }),
              ExceptionCode::ConnectionNotFoundException);
    // Only web addresses are handed on.
    EXPECT_EQ(codeOf([&] { m->platformRequest(u"file:///etc/passwd"); }),
              ExceptionCode::ConnectionNotFoundException);
    EXPECT_EQ(codeOf([&] { m->platformRequest(u"http://a b"); }),
              ExceptionCode::ConnectionNotFoundException);
    EXPECT_EQ(opened.size(), 2u);
    EXPECT_EQ(codeOf([&] { m->platformRequest(DStringPtr()); }),
              ExceptionCode::NullPointerException);
    m = nullptr;
    DMIDlet::global() = nullptr;
}

} // namespace

// Canvases: size and image from the display, the key-to-action map with its per-action
// overrides and key sets, the default keys of an action, key names, and the input events.
#include "DisplayFixture.h"

#include "lang/DExceptionBase.h"
#include "lang/DInteger.h"
#include "microedition/lcdui/DCanvas.h"
#include "microedition/lcdui/DGameCanvas.h"
#include "microedition/lcdui/DGraphics.h"

#include "microedition/lcdui/DeviceKeys.h"
#include "raster/ImageHolder.h"

#include <initializer_list>
#include <string>
#include <vector>

using qev::microedition::lcdui::kKeyAction;
using qev::microedition::lcdui::kKeyHash;
using qev::microedition::lcdui::kKeySoftLeft;
using qev::microedition::lcdui::kKeySoftRight;
using qev::microedition::lcdui::kKeyStar;

using namespace qev::lang;
using namespace qev::microedition::lcdui;
using displayfixture::DisplayFixture;

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

DintArrayPtr ints(std::initializer_list<int32_t> values)
{
    DintArrayPtr a(new DintArray(static_cast<int32_t>(values.size())));
    int32_t i = 0;
    for (int32_t v : values)
        (*a)[i++] = v;
    return a;
}

std::vector<int32_t> toVector(const DintArrayPtr& a)
{
    std::vector<int32_t> v;
    for (int32_t i = 0; i < a->length; ++i)
        v.push_back((*a)[i]);
    return v;
}

std::string utf8(const DStringPtr& s)
{
    std::string out;
    for (int32_t i = 0; i < s->length(); ++i)
        out += static_cast<char>(s->charAt(i));
    return out;
}

class CanvasTest : public DisplayFixture
{
  protected:
    void SetUp() override
    {
        DisplayFixture::SetUp();
        start();
        canvas = new game::DGameCanvas;
    }
    void TearDown() override
    {
        canvas = nullptr;
        DisplayFixture::TearDown();
    }

    DCanvasPtr canvas;
};

TEST_F(CanvasTest, TheCanvasHasTheDisplaysSizeAndAnOpaqueImage)
{
    EXPECT_EQ(canvas->getWidth(), 240);
    EXPECT_EQ(canvas->getHeight(), 320);
    ImageHolder* image = canvas->getImage();
    ASSERT_NE(image, nullptr);
    ASSERT_NE(image->surface, nullptr);
    EXPECT_EQ(image->surface->width, 240);
    EXPECT_EQ(image->surface->height, 320);
    EXPECT_FALSE(image->hasColourKey());
    EXPECT_EQ(image->secondSurface, nullptr);
    bool black = true;
    for (int y = 0; y < 320 && black; ++y)
        for (int x = 0; x < 240 && black; ++x)
            black = image->surface->row(y)[x] == 0;
    EXPECT_TRUE(black); // no stale memory reaches the screen before the first paint
    EXPECT_EQ(canvas->getKeySet(), 0);
    EXPECT_FALSE(canvas->isShown());
}

TEST_F(CanvasTest, DefaultKeysGiveTheirActions)
{
    for (int32_t fire : {kKeyAction, 13, 10, int32_t('5')})
        EXPECT_EQ(canvas->getGameAction(fire), DCanvas::FIRE) << fire;
    EXPECT_EQ(canvas->getGameAction('2'), DCanvas::UP);
    EXPECT_EQ(canvas->getGameAction(38), DCanvas::UP);
    EXPECT_EQ(canvas->getGameAction('8'), DCanvas::DOWN);
    EXPECT_EQ(canvas->getGameAction(37), DCanvas::LEFT);
    EXPECT_EQ(canvas->getGameAction('6'), DCanvas::RIGHT);
    EXPECT_EQ(canvas->getGameAction('1'), 5);
    EXPECT_EQ(canvas->getGameAction('9'), 8);
    EXPECT_EQ(canvas->getGameAction(kKeySoftLeft), DCanvas::SOFT_LEFT);
    EXPECT_EQ(canvas->getGameAction(kKeySoftRight), DCanvas::SOFT_RIGHT);
    EXPECT_EQ(canvas->getGameAction(kKeyStar), DCanvas::STAR);
    EXPECT_EQ(canvas->getGameAction(kKeyHash), DCanvas::POUND);
    EXPECT_EQ(canvas->getGameAction(-4), 13);
    EXPECT_EQ(canvas->getGameAction(-2), 14);
    EXPECT_EQ(canvas->getGameAction(-3), 15);
    for (int32_t unknown : {int32_t('0'), int32_t('A'), 32, 10005, -1, 0})
        EXPECT_EQ(canvas->getGameAction(unknown), -1) << unknown;
}

TEST_F(CanvasTest, AnOverriddenActionLosesItsDefaultKeysOnly)
{
    DObjectArrayPtr keys(new DObjectArray(16));
    (*keys)[DCanvas::FIRE] = ints({32});
    canvas->setKeyMapping(0, keys);
    EXPECT_EQ(canvas->getGameAction(32), DCanvas::FIRE);
    for (int32_t old : {53, kKeyAction, 13, 10})
        EXPECT_EQ(canvas->getGameAction(old), -1) << old;
    EXPECT_EQ(canvas->getGameAction('2'), DCanvas::UP);
    EXPECT_EQ(canvas->getGameAction(kKeySoftLeft), DCanvas::SOFT_LEFT);

    // A key that is another action's default moves to the overriding action.
    (*keys)[DCanvas::UP] = ints({'5', 'W'});
    canvas->setKeyMapping(0, keys);
    EXPECT_EQ(canvas->getGameAction('5'), DCanvas::UP);
    EXPECT_EQ(canvas->getGameAction('W'), DCanvas::UP);
    EXPECT_EQ(canvas->getGameAction(38), -1);
    EXPECT_EQ(canvas->getGameAction('2'), -1);

    // The defaults of the table, not the overrides, answer getKeys.
    EXPECT_EQ(toVector(canvas->getKeys(DCanvas::FIRE, -1)),
              (std::vector<int32_t>{53, kKeyAction, 13, 10}));
}

TEST_F(CanvasTest, OtherKeySetsWaitForTheirRebuild)
{
    DObjectArrayPtr keys(new DObjectArray(16));
    (*keys)[DCanvas::LEFT] = ints({'Q'});
    canvas->setKeyMapping(1, keys);
    EXPECT_EQ(canvas->getGameAction('Q'), -1);
    EXPECT_EQ(canvas->getGameAction(37), DCanvas::LEFT);

    canvas->rebuildKeyMap(1);
    EXPECT_EQ(canvas->getKeySet(), 1);
    EXPECT_EQ(canvas->getGameAction('Q'), DCanvas::LEFT);
    EXPECT_EQ(canvas->getGameAction(37), -1);

    // Removing the current set's overrides brings the defaults back at once.
    canvas->setKeyMapping(1, DObjectArrayPtr());
    EXPECT_EQ(canvas->getGameAction('Q'), -1);
    EXPECT_EQ(canvas->getGameAction(37), DCanvas::LEFT);
    canvas->rebuildKeyMap(0);
    EXPECT_EQ(canvas->getGameAction(37), DCanvas::LEFT);
}

TEST_F(CanvasTest, ShortOrOddOverrideArraysAreReadSafely)
{
    // Actions beyond a short array keep their defaults.
    DObjectArrayPtr shortKeys(new DObjectArray(2));
    (*shortKeys)[DCanvas::DOWN] = ints({'S'});
    canvas->setKeyMapping(0, shortKeys);
    EXPECT_EQ(canvas->getGameAction('S'), DCanvas::DOWN);
    EXPECT_EQ(canvas->getGameAction('8'), -1);
    EXPECT_EQ(canvas->getGameAction(kKeyAction), DCanvas::FIRE);

    // An element that is not an array of key codes is refused, not read as one.
    DObjectArrayPtr odd(new DObjectArray(16));
    (*odd)[DCanvas::FIRE] = DObjectPtr(new DInteger(32));
    EXPECT_EQ(codeOf([&] { canvas->setKeyMapping(0, odd); }), ExceptionCode::ClassCastException);
}

TEST_F(CanvasTest, GetKeysListsTheDefaultsOfAnAction)
{
    EXPECT_EQ(toVector(canvas->getKeys(DCanvas::FIRE, -1)),
              (std::vector<int32_t>{53, kKeyAction, 13, 10}));
    EXPECT_EQ(toVector(canvas->getKeys(DCanvas::FIRE, 2)), (std::vector<int32_t>{53, kKeyAction}));
    EXPECT_EQ(toVector(canvas->getKeys(DCanvas::UP, 4)), (std::vector<int32_t>{50, 38, -1, -1}));
    EXPECT_EQ(toVector(canvas->getKeys(13, -1)), (std::vector<int32_t>{-4}));
    EXPECT_TRUE(canvas->getKeys(16, -1).isNull());
    EXPECT_TRUE(canvas->getKeys(DCanvas::FIRE, 0).isNull());
    EXPECT_TRUE(canvas->getKeys(DCanvas::FIRE, -7).isNull());
}

TEST_F(CanvasTest, KeyNames)
{
    EXPECT_EQ(utf8(canvas->getKeyName(-2)), "KEY -2");
    EXPECT_EQ(utf8(canvas->getKeyName(65)), "A");
    EXPECT_EQ(utf8(canvas->getKeyName(90)), "Z");
    EXPECT_EQ(utf8(canvas->getKeyName('0')), "0");
    EXPECT_EQ(utf8(canvas->getKeyName(96)), "Numpad0");
    EXPECT_EQ(utf8(canvas->getKeyName(105)), "Numpad9");
    EXPECT_EQ(utf8(canvas->getKeyName(112)), "F1");
    EXPECT_EQ(utf8(canvas->getKeyName(123)), "F12");
    EXPECT_EQ(utf8(canvas->getKeyName(124)), "KEY 124");
    EXPECT_EQ(utf8(canvas->getKeyName(32)), "Spacebar");
    EXPECT_EQ(utf8(canvas->getKeyName(20)), "Caps Lock");
    EXPECT_EQ(utf8(canvas->getKeyName(145)), "Scroll Lock");
    EXPECT_EQ(utf8(canvas->getKeyName(108)), "KEY 108");
    EXPECT_EQ(utf8(canvas->getKeyName(kKeySoftLeft)), "Soft L");
    EXPECT_EQ(utf8(canvas->getKeyName(kKeyAction)), "Action");
    EXPECT_EQ(utf8(canvas->getKeyName(kKeyHash)), "#");
    EXPECT_EQ(utf8(canvas->getKeyName(kKeyStar)), "*");
    EXPECT_EQ(utf8(canvas->getKeyName(10005)), "KEY 10005");
}

// Records the events a host routes to the current displayable.
class RecordingCanvas : public game::DGameCanvas
{
  public:
    void keyPressed(int32_t k) override { events.push_back("press " + std::to_string(k)); }
    void keyReleased(int32_t k) override { events.push_back("release " + std::to_string(k)); }
    void keyRepeated(int32_t k) override { events.push_back("repeat " + std::to_string(k)); }
    void pointerPressed(int32_t x, int32_t y) override { pointer("down", x, y); }
    void pointerReleased(int32_t x, int32_t y) override { pointer("up", x, y); }
    void pointerDragged(int32_t x, int32_t y) override { pointer("drag", x, y); }
    void pointer(const char* what, int32_t x, int32_t y)
    {
        events.push_back(std::string(what) + " " + std::to_string(x) + "," + std::to_string(y));
    }
    std::vector<std::string> events;
};

TEST_F(CanvasTest, EventsReachTheCurrentCanvasAndTranslateToActions)
{
    DPtr<RecordingCanvas> recording(new RecordingCanvas);
    display->setCurrent(recording);
    DCanvasPtr current = dcast<DCanvas>(display->getCurrent());
    ASSERT_EQ(current.get(), recording.get());
    current->keyPressed(kKeyAction);
    current->keyRepeated(kKeyAction);
    current->keyReleased(kKeyAction);
    current->pointerPressed(10, 300);
    current->pointerDragged(11, 301);
    current->pointerReleased(12, 302);
    EXPECT_EQ(recording->events,
              (std::vector<std::string>{"press 10002", "repeat 10002", "release 10002",
                                        "down 10,300", "drag 11,301", "up 12,302"}));
    EXPECT_EQ(current->getGameAction(kKeyAction), DCanvas::FIRE);

    // The base canvas ignores events; its paint only lets go of the graphics it was given.
    DPtr<DGraphics> g = dcast<game::DGameCanvas>(canvas)->getGraphics();
    const int32_t held = g->getRefCount();
    canvas->keyPressed(1);
    canvas->pointerDragged(1, 1);
    canvas->paint(g);
    EXPECT_EQ(g->getRefCount(), held);
}

TEST_F(CanvasTest, NoMidletOrNoDisplayMeansNoCanvas)
{
    DPtr<displayfixture::TestMIDlet> lone(new displayfixture::TestMIDlet); // has no display
    EXPECT_EQ(codeOf([] { DCanvasPtr c(new game::DGameCanvas); }),
              ExceptionCode::NullPointerException);
    qev::microedition::midlet::DMIDlet::global() = nullptr;
    EXPECT_EQ(codeOf([] { DCanvasPtr c(new game::DGameCanvas); }),
              ExceptionCode::NullPointerException);
}

} // namespace

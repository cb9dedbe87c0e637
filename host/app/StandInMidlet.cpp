// STAND-IN: the application MIDlet until the game library defines createMIDlet. Delete this file
// when it does. It shows that the window, the display, keys and the stylus work: a screen with a
// few lines of text that names the last key and the last stylus position. Escape (the right soft
// key) ends it.
#include "CreateMIDlet.h"

#include "io/D7zipInputStream.h"
#include "lang/DExceptionBase.h"
#include "lang/DSystem.h"
#include "microedition/lcdui/DDisplay.h"
#include "microedition/lcdui/DGameCanvas.h"
#include "microedition/lcdui/DGraphics.h"

using namespace qev::lang;
using namespace qev::microedition::lcdui;

namespace {

class StandInCanvas : public game::DGameCanvas
{
  public:
    explicit StandInCanvas(DStringPtr dataState) : m_dataState(std::move(dataState)) {}

    void keyPressed(int32_t code) override { note(u"key ", code); }
    void keyRepeated(int32_t code) override { note(u"repeat ", code); }
    void pointerPressed(int32_t x, int32_t y) override { point(u"stylus down ", x, y); }
    void pointerDragged(int32_t x, int32_t y) override { point(u"stylus drag ", x, y); }
    void pointerReleased(int32_t x, int32_t y) override { point(u"stylus up ", x, y); }
    void showNotify() override { m_dirty = true; }

    bool wantsEnd() const { return m_end; }

    void redrawIfNeeded()
    {
        if (!m_dirty)
            return;
        m_dirty = false;
        DPtr<DGraphics> g = getGraphics();
        g->setColor(0x10183a);
        g->fillRect(0, 0, getWidth(), getHeight());
        g->setColor(0xffb347);
        g->drawString(u"Pallasterhorn", getWidth() / 2, 24, DGraphics::HCENTER | DGraphics::TOP);
        g->setColor(0xf4f1e8);
        g->drawString(m_dataState, 8, 64, DGraphics::LEFT | DGraphics::TOP);
        g->drawString(u"The games are still to come.", 8, 84, DGraphics::LEFT | DGraphics::TOP);
        g->drawString(u"Press keys or tap here.", 8, 104, DGraphics::LEFT | DGraphics::TOP);
        g->drawString(u"Escape ends.", 8, 124, DGraphics::LEFT | DGraphics::TOP);
        g->setColor(0x5fd3ff);
        g->drawString(m_last, 8, 164, DGraphics::LEFT | DGraphics::TOP);
        flushGraphics();
    }

  private:
    void note(const char16_t* what, int32_t code)
    {
        m_last = DString::concat(what, getKeyName(code));
        if (code == 10001)
            m_end = true;
        m_dirty = true;
    }
    void point(const char16_t* what, int32_t x, int32_t y)
    {
        m_last = DString::concat(DString::concat(DString::concat(DStringPtr(what), x), u","), y);
        m_dirty = true;
    }

    DStringPtr m_dataState;
    DStringPtr m_last = u"";
    bool m_dirty = true;
    bool m_end = false;
};

class StandInMidlet : public qev::microedition::midlet::DMIDlet
{
  public:
    bool destroyApp(bool) override
    {
        m_canvas = nullptr;
        return true;
    }
    void pauseApp() override {}
    void startApp() override
    {
        m_canvas = new StandInCanvas(probeGameData());
        getDisplay()->setCurrent(m_canvas);
    }
    void tick() override
    {
        m_canvas->redrawIfNeeded();
        if (m_canvas->wantsEnd())
            notifyDestroyed();
    }
    DStringPtr getAppProperty(DStringPtr key) override
    {
        if (key && key->equals(u"app.name"))
            return u"Pallasterhorn";
        return nullptr;
    }

  private:
    static DStringPtr probeGameData()
    {
        try {
            qev::io::D7zipInputStream::openArchive(DSystem::getProperty(u"archive.name"),
                                                   DSystem::getProperty(u"archive.password"));
            qev::io::D7zipInputStream::closeArchive();
            return u"game.dat: found";
        } catch (DExceptionBase* e) {
            delete e;
            return u"game.dat: cannot be read";
        }
    }

    DPtr<StandInCanvas> m_canvas;
};

} // namespace

qev::microedition::midlet::DMIDletPtr createMIDlet()
{
    return new StandInMidlet;
}

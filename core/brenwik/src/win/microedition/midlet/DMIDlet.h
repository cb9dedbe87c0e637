// The application object: the one MIDlet of the run, its keep-running flag and its display. The
// host starts it, ticks it once per pass of the main loop and destroys it at shutdown.
#pragma once

#include "lang/DString.h"

namespace qev::microedition::lcdui {
class DDisplay;
} // namespace qev::microedition::lcdui

namespace qev::microedition::midlet {

class DMIDlet;
using DMIDletPtr = qev::lang::DPtr<DMIDlet>;

class DMIDlet : public qev::lang::DObject
{
  public:
    // Becomes the global MIDlet.
    DMIDlet();
    ~DMIDlet() override;

    virtual bool destroyApp(bool unconditional) = 0;
    virtual void pauseApp() = 0;
    virtual void startApp() = 0;
    // One pass of the application's loop; the host then reads keepRunning().
    virtual void tick() = 0;
    // Null in the base class.
    virtual qev::lang::DStringPtr getAppProperty(qev::lang::DStringPtr key);
    // How long the next tick would have nothing to do: an idle host waits this long for input
    // before it ticks again. The base class says 1 ms, a short pause between ticks.
    virtual int32_t idleMillis();

    // The host's next tick ends the loop.
    void notifyDestroyed() { m_keepRunning = 0; }
    bool keepRunning() const { return m_keepRunning != 0; }
    // The application could not start (it may still show why before it ends): the host ends the
    // run with its failed-start status however the run then ends.
    void notifyStartFailed() { m_startFailed = 1; }
    bool startFailed() const { return m_startFailed != 0; }

    qev::lang::DPtr<qev::microedition::lcdui::DDisplay> getDisplay() const;
    // Set by the display when it is made for this MIDlet.
    void setDisplay(qev::lang::DPtr<qev::microedition::lcdui::DDisplay> display);

    // Opens a web address (http or https) in the desktop's browser. Returns false: the MIDlet
    // need not end first. ConnectionNotFoundException when the address cannot be opened.
    bool platformRequest(qev::lang::DStringPtr url);

    // The one MIDlet of the run, null before the first is made and after the host clears it.
    static DMIDletPtr& global();

  private:
    int32_t m_keepRunning = 1;
    int32_t m_startFailed = 0;
    qev::lang::DPtr<qev::microedition::lcdui::DDisplay> m_display;
};

} // namespace qev::microedition::midlet

// The application host: the one full-screen window with its splash, the message loop, the
// window procedure, and the single engine that owns the display context, the application MIDlet
// and its display and feeds them the window's events.
#pragma once

#include "LoopHooks.h"

#include "lang/DString.h"
#include "microedition/lcdui/DDisplay.h"
#include "microedition/midlet/DMIDlet.h"
#include "platform/aygshell.h"
#include "platform/windows.h"

#include <memory>

namespace ScreenHAL {
class DisplayContext;
} // namespace ScreenHAL

class CGameEngine
{
  public:
    // How a run ended, as the process's status.
    enum Status : int {
        kEndedNormally = 0,
        kWindowFailed = 1,
        kDisplayFailed = 2,
        kStartFailed = 3,
    };

    // A second engine in one process shows "GameEngine already exists!" and ends the process.
    CGameEngine();
    virtual ~CGameEngine();
    CGameEngine(const CGameEngine&) = delete;
    CGameEngine& operator=(const CGameEngine&) = delete;

    virtual bool startApp(HWND window);
    virtual void stopApp();
    // One pass's work for the MIDlet; false when it has ended.
    virtual bool tick();
    virtual void pointerPressed(int x, int y);
    virtual void pointerReleased(int x, int y);
    virtual void pointerDragged(int x, int y);
    virtual void keyPressed(UINT virtualKey);
    virtual void keyRepeated(UINT virtualKey);
    virtual void keyReleased(UINT virtualKey);
    virtual void pause();
    virtual void resume();

    // The whole life of the window and the MIDlet; the process's status.
    int run(HINSTANCE instance, int width, int height);
    // False when the window was not made: another instance is running (anotherInstance()) or
    // creation failed.
    bool createWindow(HINSTANCE instance);
    static LRESULT windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    // The MIDlet's property; NullPointerException without an engine or a MIDlet.
    static qev::lang::DStringPtr getAppProperty(qev::lang::DStringPtr key);
    // The display layer asks at every present whether its copy of the frame may be kept.
    static int alwaysTrue() { return 1; }
    static CGameEngine* instance();

    // Drives the loop from outside (the scripted runner); null for a normal run.
    void setLoopHooks(host::LoopHooks* hooks) { m_hooks = hooks; }
    HWND window() const { return m_window; }
    bool anotherInstance() const { return m_anotherInstance; }
    bool smartphone() const { return m_smartphone; }
    bool splashShowing() const { return m_splash; }
    bool inactive() const { return m_inactive; }
    qev::microedition::lcdui::DDisplayPtr display() const { return m_display; }
    qev::microedition::midlet::DMIDletPtr midlet() const { return m_midlet; }

    // aygshell's entry points, null when the library or the entry is missing.
    static SHFullScreenProc& shFullScreen();
    static SHSetImeModeProc& shSetImeMode();

  private:
    LRESULT handle(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    bool startMIDlet();
    void paintSplash(HWND window);
    void runLoop();
    // An idle pass's wait: until a message comes or the MIDlet's next tick has work.
    void waitIdle();
    // Everything run() made, in reverse order; safe to call on every path and twice.
    void teardown();
    qev::lang::DPtr<qev::microedition::lcdui::DDisplayable> currentDisplayable() const;

    qev::microedition::midlet::DMIDletPtr m_midlet;
    qev::microedition::lcdui::DDisplayPtr m_display;
    bool m_inactive = false;
    bool m_splash = false;
    uint32_t m_splashStart = 0;
    bool m_smartphone = false;
    std::unique_ptr<ScreenHAL::DisplayContext> m_context;
    HINSTANCE m_instance = nullptr;
    HWND m_window = nullptr;
    HBITMAP m_splashBitmap = nullptr;
    WCHAR m_title[256] = {};
    WCHAR m_className[256] = {};
    int m_running = 1;

    bool m_classRegistered = false;
    bool m_appStarted = false;
    bool m_anotherInstance = false;
    bool m_startFailed = false;
    bool m_stopping = false;
    host::LoopHooks* m_hooks = nullptr;
};

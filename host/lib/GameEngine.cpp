#include "GameEngine.h"

#include "CreateMIDlet.h"
#include "ErrorBox.h"
#include "KeyTranslation.h"

#include "display/DisplayContext.h"
#include "io/Console.h"
#include "io/DFileOutputStream.h"
#include "lang/DExceptionBase.h"
#include "lang/DSystem.h"
#include "microedition/lcdui/DCanvas.h"
#include "microedition/lcdui/DFont.h"
#include "microedition/lcdui/DImage.h"
#include "microedition/media/MediaManager.h"
#include "microedition/rms/DRecordStore.h"
#include "platform/clock.h"
#include "platform/files.h"
#include "platform/resources.h"
#include "platform/sysinfo.h"
#include "platform/threads.h"
#include "sound/sndDriver.h"
#include "sound/sndSpeaker.h"
#include "wireless/messaging/Messaging.h"

#include <cstdlib>

using qev::lang::DExceptionBase;
using qev::lang::DStringPtr;
using qev::microedition::lcdui::DDisplay;
using qev::microedition::lcdui::DImage;
using qev::microedition::midlet::DMIDlet;

namespace {

CGameEngine* g_engine = nullptr;

DStringPtr applicationName()
{
    return CGameEngine::getAppProperty(u"app.name");
}

bool isIOException(int32_t code)
{
    return (code & qev::lang::ExceptionCode::IOException) == qev::lang::ExceptionCode::IOException;
}

bool fileExists(const DStringPtr& name)
{
    HANDLE h = CreateFileW(name->chars(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return false;
    CloseHandle(h);
    return true;
}

void openConsoleStreams()
{
    using namespace qev::io;
    consoleOut() = new DPrintStream(nullptr);
    consoleErr() = new DPrintStream(nullptr);
    try {
        DStringPtr folder = qev::lang::DSystem::getProperty(u"app.fullpath");
        if (folder && fileExists(folder + u"\\uselog.txt")) {
            consoleOut() = new DPrintStream(DFileOutputStream::open(u"/doutput.txt"));
            consoleErr() = new DPrintStream(DFileOutputStream::open(u"/derror.txt"));
        }
    } catch (DExceptionBase* e) {
        if (!isIOException(e->code))
            throw;
        delete e; // the run goes on without its log
    }
}

} // namespace

SHFullScreenProc& CGameEngine::shFullScreen()
{
    static SHFullScreenProc proc = nullptr;
    return proc;
}

SHSetImeModeProc& CGameEngine::shSetImeMode()
{
    static SHSetImeModeProc proc = nullptr;
    return proc;
}

CGameEngine* CGameEngine::instance()
{
    return g_engine;
}

CGameEngine::CGameEngine()
{
    if (g_engine) {
        host::showError(u"GameEngine already exists!");
        // A box is a failure: the status says so (the box used to end the process with 0).
        TerminateProcess(GetCurrentProcess(), 1);
    }
    g_engine = this;
    std::srand(GetTickCount());
}

CGameEngine::~CGameEngine()
{
    // Runs on every path out of runEngine, also after an exception, so that the audio thread
    // and the window never outlive the objects they use.
    try {
        teardown();
    } catch (DExceptionBase* e) {
        delete e;
    } catch (...) {
    }
    qev::microedition::media::shutdownSound();
    qev::wireless::messaging::stopMessaging();
    if (m_splashBitmap) {
        DeleteObject(m_splashBitmap);
        m_splashBitmap = nullptr;
    }
    qev::microedition::rms::DRecordStore::setApplicationNameSource(nullptr);
    DImage::setPropertySource(nullptr);
    g_engine = nullptr;
    m_display = nullptr;
    m_midlet = nullptr;
}

DStringPtr CGameEngine::getAppProperty(DStringPtr key)
{
    if (!g_engine)
        qev::lang::throwException(qev::lang::ExceptionCode::NullPointerException);
    return g_engine->m_midlet->getAppProperty(key);
}

bool CGameEngine::createWindow(HINSTANCE instance)
{
    m_instance = instance;
    LoadStringW(instance, 101, m_title, 256);
    LoadStringW(instance, 102, m_className, 256);
    if (!m_splashBitmap)
        m_splashBitmap = LoadBitmapW(instance, MAKEINTRESOURCEW(101));

    if (HWND other = FindWindowW(m_className, m_title)) {
        SetForegroundWindow(reinterpret_cast<HWND>(reinterpret_cast<uintptr_t>(other) | 1));
        m_anotherInstance = true;
        return false;
    }

    WNDCLASSW wc{};
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = windowProc;
    wc.hInstance = instance;
    wc.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(103));
    wc.hCursor = LoadCursorW(instance, MAKEINTRESOURCEW(104));
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    wc.lpszClassName = m_className;
    if (!RegisterClassW(&wc))
        return false;
    m_classRegistered = true;

    m_window =
        CreateWindowExW(0, m_className, m_title, WS_VISIBLE, 0, 0, GetSystemMetrics(SM_CXSCREEN),
                        GetSystemMetrics(SM_CYSCREEN), nullptr, nullptr, instance, nullptr);
    if (!m_window)
        return false;
    if (shFullScreen())
        shFullScreen()(m_window, SHFS_HIDETASKBAR | SHFS_HIDESIPBUTTON | SHFS_HIDESTARTICON);
    ShowWindow(m_window, SW_SHOW);
    UpdateWindow(m_window);
    return true;
}

int CGameEngine::run(HINSTANCE instance, int width, int height)
{
    m_instance = instance;
    // Set before the window exists, so that its first paint already shows the splash.
    m_splashStart = GetTickCount();
    m_splash = true;
    if (!createWindow(instance)) {
        if (m_anotherInstance)
            return kEndedNormally;
        teardown();
        host::showError(u"The window cannot be created!");
        return kWindowFailed;
    }

    ScreenHAL::DisplayParams params;
    params.width = width;
    params.height = height;
    params.orientation = 0;
    params.swapEffect = 1;
    DEVMODEW mode{};
    mode.dmSize = sizeof mode;
    mode.dmFields = DM_DISPLAYORIENTATION;
    mode.dmPelsWidth = static_cast<DWORD>(width);
    mode.dmPelsHeight = static_cast<DWORD>(height);
    if (ChangeDisplaySettingsEx(nullptr, &mode, nullptr, CDS_TEST, nullptr) ==
        DISP_CHANGE_SUCCESSFUL) {
        if (mode.dmOrientation == 2)
            params.orientation = 1;
    }

    m_context = std::make_unique<ScreenHAL::DisplayContext>(m_window, params);
    if (!m_context->hasDisplay()) {
        teardown();
        host::showError(u"The display cannot be started!");
        return kDisplayFailed;
    }

    WCHAR platformType[256] = {};
    if (SystemParametersInfoW(SPI_GETPLATFORMTYPE, sizeof platformType, platformType, 0))
        m_smartphone = std::u16string_view(platformType) == u"SmartPhone";

    int status = kEndedNormally;
    if (startApp(m_window))
        runLoop();
    else if (m_startFailed)
        status = kStartFailed;
    // An application that could not start and said so on its screen ends with the status of a
    // failed start, not that of a normal end.
    if (m_midlet && m_midlet->startFailed())
        status = kStartFailed;
    teardown();
    return status;
}

void CGameEngine::runLoop()
{
    MSG msg;
    for (long pass = 0; m_running; ++pass) {
        if (m_hooks)
            m_hooks->beforePass(pass);
        if (m_inactive) {
            // A driver of the loop never lets it wait: it takes what is queued and goes on.
            BOOL got = m_hooks ? PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)
                               : GetMessageW(&msg, nullptr, 0, 0);
            if (got == 0 && !m_hooks) {
                m_running = 0;
            } else if (got != 0 && got != -1) {
                if (msg.message == WM_QUIT) {
                    m_running = 0;
                } else {
                    TranslateMessage(&msg);
                    DispatchMessageW(&msg);
                }
            }
        } else {
            bool took = PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE) != 0;
            if (took) {
                if (msg.message == WM_QUIT) {
                    m_running = 0;
                } else {
                    TranslateMessage(&msg);
                    DispatchMessageW(&msg);
                }
            }
            if (!m_inactive && !tick())
                m_running = 0;
            // An idle pass sleeps until input comes or the MIDlet has work again, instead of
            // spinning; a pass that took a message goes on at once, as more may be queued.
            if (!took && m_running && !m_inactive && !m_hooks)
                waitIdle();
        }
        if (m_hooks && !m_hooks->afterPass(pass) && m_window)
            SendMessageW(m_window, WM_CLOSE, 0, 0);
    }
}

void CGameEngine::waitIdle()
{
    // The splash ends as soon as the tick count moves on.
    const int32_t idle = m_splash || !m_midlet ? 1 : m_midlet->idleMillis();
    if (idle > 0)
        MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(idle), QS_ALLINPUT);
}

bool CGameEngine::startApp(HWND window)
{
    m_appStarted = true;
    qev::microedition::media::startSound();
    qev::wireless::messaging::startMessaging(window);
    openConsoleStreams();
    qev::microedition::rms::DRecordStore::setApplicationNameSource(applicationName);
    DImage::setPropertySource(getAppProperty);
    return startMIDlet();
}

bool CGameEngine::startMIDlet()
{
    try {
        m_midlet = createMIDlet();
        m_display = new DDisplay(m_context.get());
        m_midlet->startApp();
        return m_midlet->keepRunning();
    } catch (DExceptionBase* e) {
        std::u16string text = host::unhandledExceptionText("StartApp", *e, false);
        // The box names only the exception's class; the message (such as the path of missing
        // game data) goes to the error output for whoever started the program from a terminal.
        host::reportToStderr(*e);
        delete e;
        host::showError(text);
    } catch (...) {
        host::showError(u"StartApp - unknown exception!");
        m_display = nullptr;
        m_midlet = nullptr;
    }
    m_startFailed = true;
    return false;
}

void CGameEngine::stopApp()
{
    if (m_stopping)
        return;
    m_stopping = true;
    struct Finish
    {
        CGameEngine& engine;
        ~Finish()
        {
            qev::microedition::lcdui::DFont::clearCache();
            DMIDlet::global() = nullptr;
            engine.m_midlet = nullptr;
            engine.m_display = nullptr;
            engine.m_stopping = false;
        }
    } finish{*this};
    qev::io::consoleOut() = nullptr;
    qev::io::consoleErr() = nullptr;
    if (m_midlet)
        m_midlet->destroyApp(true);
}

void CGameEngine::teardown()
{
    if (m_appStarted) {
        m_appStarted = false;
        stopApp();
    }
    m_context.reset(); // the display first, then its back buffer and the context
    if (m_window) {
        HWND window = m_window;
        DestroyWindow(window);
        m_window = nullptr;
    }
    if (m_classRegistered) {
        UnregisterClassW(m_className, m_instance);
        m_classRegistered = false;
    }
}

bool CGameEngine::tick()
{
    if (m_splash) {
        // A signed difference: the 32-bit tick count wraps every 49.7 days.
        if (static_cast<int32_t>(GetTickCount() - m_splashStart) > 0)
            m_splash = false;
        return true;
    }
    qev::wireless::messaging::pollMessages();
    if (!m_midlet)
        return false;
    m_midlet->tick();
    return m_midlet->keepRunning();
}

void CGameEngine::pause()
{
    if (sndSpeaker* mixer = qev::microedition::media::soundMixer(); mixer && mixer->IsOpen())
        if (sndDriver* driver = mixer->Driver())
            driver->Pause();
    if (m_midlet)
        m_midlet->pauseApp();
}

void CGameEngine::resume()
{
    if (sndSpeaker* mixer = qev::microedition::media::soundMixer(); mixer && mixer->IsOpen())
        if (sndDriver* driver = mixer->Driver())
            driver->Resume();
    if (auto current = currentDisplayable())
        current->showNotify();
}

qev::lang::DPtr<qev::microedition::lcdui::DDisplayable> CGameEngine::currentDisplayable() const
{
    if (!m_display)
        return nullptr;
    return m_display->getCurrent();
}

namespace {

using qev::microedition::lcdui::DCanvas;

qev::lang::DPtr<DCanvas> asCanvas(const qev::lang::DPtr<qev::microedition::lcdui::DDisplayable>& d)
{
    return qev::lang::DPtr<DCanvas>(dynamic_cast<DCanvas*>(d.get()));
}

} // namespace

void CGameEngine::pointerPressed(int x, int y)
{
    if (auto canvas = asCanvas(currentDisplayable()))
        canvas->pointerPressed(x, y);
}

void CGameEngine::pointerReleased(int x, int y)
{
    if (auto canvas = asCanvas(currentDisplayable()))
        canvas->pointerReleased(x, y);
}

void CGameEngine::pointerDragged(int x, int y)
{
    if (auto canvas = asCanvas(currentDisplayable()))
        canvas->pointerDragged(x, y);
}

void CGameEngine::keyPressed(UINT virtualKey)
{
    auto canvas = asCanvas(currentDisplayable());
    if (!canvas)
        return;
    if (auto code = host::translateKey(virtualKey, m_smartphone))
        canvas->keyPressed(*code);
}

void CGameEngine::keyRepeated(UINT virtualKey)
{
    auto canvas = asCanvas(currentDisplayable());
    if (!canvas)
        return;
    if (auto code = host::translateKey(virtualKey, m_smartphone))
        canvas->keyRepeated(*code);
}

void CGameEngine::keyReleased(UINT virtualKey)
{
    auto canvas = asCanvas(currentDisplayable());
    if (!canvas)
        return;
    if (auto code = host::translateKey(virtualKey, m_smartphone))
        canvas->keyReleased(*code);
}

LRESULT CGameEngine::windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (!g_engine)
        return DefWindowProcW(window, message, wParam, lParam);
    return g_engine->handle(window, message, wParam, lParam);
}

LRESULT CGameEngine::handle(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    const int x = LOWORD(lParam), y = HIWORD(lParam);
    switch (message) {
    case WM_CREATE:
    case WM_SETTINGCHANGE:
        return 0;
    case WM_DESTROY:
        if (shFullScreen())
            shFullScreen()(window, SHFS_SHOWTASKBAR | SHFS_SHOWSIPBUTTON | SHFS_SHOWSTARTICON);
        return 0;
    case WM_ACTIVATE:
        if (LOWORD(wParam) != 0) {
            m_inactive = false;
            resume();
        } else {
            m_inactive = true;
            pause();
        }
        return 0;
    case WM_PAINT:
        paintSplash(window);
        return 0;
    case WM_CLOSE:
        m_running = 0;
        return 0;
    case WM_KEYDOWN:
        if (lParam & KF_REPEAT_BIT)
            keyRepeated(static_cast<UINT>(wParam));
        else
            keyPressed(static_cast<UINT>(wParam));
        return 0;
    case WM_KEYUP:
        keyReleased(static_cast<UINT>(wParam));
        return 0;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK) {
            SendMessageW(window, WM_CLOSE, 0, 0);
            return 0;
        }
        return DefWindowProcW(window, message, wParam, lParam);
    case WM_MOUSEMOVE:
        if (wParam & MK_LBUTTON)
            pointerDragged(x, y);
        return 0;
    case WM_LBUTTONDOWN:
        pointerPressed(x, y);
        return 0;
    case WM_LBUTTONUP:
        pointerReleased(x, y);
        return 0;
    default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
}

void CGameEngine::paintSplash(HWND window)
{
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(window, &ps);
    if (dc && m_splashBitmap && m_splash) {
        RECT client{};
        BITMAP bm{};
        GetClientRect(window, &client);
        if (GetObjectW(m_splashBitmap, sizeof bm, &bm) != 0) {
            HDC memory = CreateCompatibleDC(dc);
            HGDIOBJ old = SelectObject(memory, m_splashBitmap);
            const int x = (client.right - bm.bmWidth - client.left) >> 1;
            const int y = (client.bottom - bm.bmHeight - client.top) >> 1;
            BitBlt(dc, x, y, bm.bmWidth, bm.bmHeight, memory, 0, 0, SRCCOPY);
            SelectObject(memory, old);
            DeleteDC(memory);
        }
    }
    EndPaint(window, &ps);
}

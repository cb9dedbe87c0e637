// Windows, the message queue and the desktop-event translation of the headless backend.
#include "StopSignalScope.h"
#include "TestDevice.h"

#include "platform/DeviceProfile.h"
#include "platform/clock.h"
#include "platform/testing/FakeClock.h"
#include "platform/threads.h"
#include "platform/window/InstanceRegistry.h"
#include "platform/window/WindowSystem.h"

#include <gtest/gtest.h>

#include <csignal>
#include <vector>

using namespace testdevice;
using platform::NativeEvent;

namespace {

class WindowSystemTest : public ::testing::Test
{
  protected:
    void SetUp() override { backend = &reset(); }
    void TearDown() override { reset(); }

    // Dispatches everything queued; returns how many messages were taken.
    int drain()
    {
        MSG m;
        int n = 0;
        while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) {
            DispatchMessageW(&m);
            ++n;
        }
        return n;
    }

    platform::HeadlessBackend* backend = nullptr;
};

TEST_F(WindowSystemTest, ClassesAreUniqueAndWindowsGetCreateAndActivation)
{
    HWND w = createRecordingWindow();
    ASSERT_NE(w, nullptr);
    WNDCLASSW again{};
    again.lpfnWndProc = DefWindowProcW;
    again.lpszClassName = u"TestWindow";
    EXPECT_EQ(RegisterClassW(&again), 0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_CLASS_ALREADY_EXISTS));

    ASSERT_GE(recorded().size(), 2u);
    EXPECT_EQ(recorded()[0].message, static_cast<UINT>(WM_CREATE));
    EXPECT_EQ(countOf(WM_ACTIVATE), 1);
    EXPECT_EQ(GetForegroundWindow(), w);
    RECT r;
    ASSERT_TRUE(GetClientRect(w, &r));
    EXPECT_EQ(r.right, 240);
    EXPECT_EQ(r.bottom, 320);
    EXPECT_EQ(CreateWindowExW(0, u"NoSuchClass", u"x", 0, 0, 0, 10, 10, nullptr, nullptr, nullptr,
                              nullptr),
              nullptr);
}

TEST_F(WindowSystemTest, KeysCarryTheRepeatAndReleaseBits)
{
    HWND w = createRecordingWindow();
    recorded().clear();
    backend->injectKey(w, VK_LEFT, true);
    backend->injectKey(w, VK_LEFT, true, true);
    backend->injectKey(w, VK_LEFT, false);
    drain();
    std::vector<RecordedMessage> keys;
    for (auto& m : recorded())
        if (m.message == WM_KEYDOWN || m.message == WM_KEYUP)
            keys.push_back(m);
    ASSERT_EQ(keys.size(), 3u);
    EXPECT_EQ(keys[0].wParam, static_cast<WPARAM>(VK_LEFT));
    EXPECT_EQ(keys[0].lParam & KF_REPEAT_BIT, 0);
    EXPECT_NE(keys[1].lParam & KF_REPEAT_BIT, 0);
    EXPECT_EQ(keys[2].message, static_cast<UINT>(WM_KEYUP));
    EXPECT_EQ(static_cast<DWORD>(keys[2].lParam) & 0xC0000000u, 0xC0000000u);
}

TEST_F(WindowSystemTest, MouseCoordinatesAreClampedAndDragsCarryTheButton)
{
    HWND w = createRecordingWindow();
    recorded().clear();
    backend->injectMouse(w, NativeEvent::Kind::MouseDown, 10, 20, true);
    backend->injectMouse(w, NativeEvent::Kind::MouseMove, -5, 400, true);
    backend->injectMouse(w, NativeEvent::Kind::MouseMove, 30, 40, false);
    backend->injectMouse(w, NativeEvent::Kind::MouseUp, 30, 40, false);
    drain();
    std::vector<RecordedMessage> mouse;
    for (auto& m : recorded())
        if (m.message >= WM_MOUSEMOVE && m.message <= WM_LBUTTONUP)
            mouse.push_back(m);
    ASSERT_EQ(mouse.size(), 4u);
    EXPECT_EQ(mouse[0].message, static_cast<UINT>(WM_LBUTTONDOWN));
    EXPECT_EQ(LOWORD(mouse[0].lParam), 10);
    EXPECT_EQ(HIWORD(mouse[0].lParam), 20);
    EXPECT_EQ(LOWORD(mouse[1].lParam), 0);   // not 65531
    EXPECT_EQ(HIWORD(mouse[1].lParam), 319); // inside the client area
    EXPECT_EQ(mouse[1].wParam & MK_LBUTTON, static_cast<WPARAM>(MK_LBUTTON));
    EXPECT_EQ(mouse[2].wParam & MK_LBUTTON, 0u);
    EXPECT_EQ(mouse[3].message, static_cast<UINT>(WM_LBUTTONUP));
}

TEST_F(WindowSystemTest, ARunOfMovesKeepsOnlyItsNewest)
{
    HWND w = createRecordingWindow();
    recorded().clear();
    backend->injectMouse(w, NativeEvent::Kind::MouseDown, 1, 1, true);
    for (int i = 0; i < 300; ++i)
        backend->injectMouse(w, NativeEvent::Kind::MouseMove, 2 + i % 200, 3, true);
    backend->injectMouse(w, NativeEvent::Kind::MouseMove, 50, 60, false); // button state changed
    backend->injectMouse(w, NativeEvent::Kind::MouseMove, 70, 80, false);
    backend->injectMouse(w, NativeEvent::Kind::MouseUp, 70, 80, false);
    backend->injectMouse(w, NativeEvent::Kind::MouseMove, 90, 100, false); // after the release
    drain();
    std::vector<RecordedMessage> mouse;
    for (auto& m : recorded())
        if (m.message >= WM_MOUSEMOVE && m.message <= WM_LBUTTONUP)
            mouse.push_back(m);
    ASSERT_EQ(mouse.size(), 5u);
    EXPECT_EQ(mouse[0].message, static_cast<UINT>(WM_LBUTTONDOWN));
    EXPECT_EQ(mouse[1].message, static_cast<UINT>(WM_MOUSEMOVE));
    EXPECT_EQ(LOWORD(mouse[1].lParam), 2 + 299 % 200); // the newest held move
    EXPECT_EQ(mouse[1].wParam & MK_LBUTTON, static_cast<WPARAM>(MK_LBUTTON));
    EXPECT_EQ(LOWORD(mouse[2].lParam), 70);
    EXPECT_EQ(HIWORD(mouse[2].lParam), 80);
    EXPECT_EQ(mouse[3].message, static_cast<UINT>(WM_LBUTTONUP));
    EXPECT_EQ(LOWORD(mouse[4].lParam), 90);
}

TEST_F(WindowSystemTest, AKeysRepeatIsDroppedWhileAnEarlierRepeatWaits)
{
    HWND w = createRecordingWindow();
    recorded().clear();
    backend->injectKey(w, VK_LEFT, true);
    for (int i = 0; i < 50; ++i)
        backend->injectKey(w, VK_LEFT, true, true);
    backend->injectKey(w, VK_UP, true, true); // another key's repeat is its own
    backend->injectKey(w, VK_LEFT, false);
    drain();
    std::vector<std::pair<UINT, WPARAM>> keys;
    for (auto& m : recorded())
        if (m.message == WM_KEYDOWN || m.message == WM_KEYUP)
            keys.emplace_back(m.message, m.wParam);
    const std::vector<std::pair<UINT, WPARAM>> expected{
        {WM_KEYDOWN, VK_LEFT}, {WM_KEYDOWN, VK_LEFT}, {WM_KEYDOWN, VK_UP}, {WM_KEYUP, VK_LEFT}};
    EXPECT_EQ(keys, expected);

    // Once the waiting repeat was taken, the next one is queued again.
    recorded().clear();
    backend->injectKey(w, VK_LEFT, true, true);
    drain();
    backend->injectKey(w, VK_LEFT, true, true);
    drain();
    int repeats = 0;
    for (auto& m : recorded())
        repeats += m.message == WM_KEYDOWN;
    EXPECT_EQ(repeats, 2);
}

TEST_F(WindowSystemTest, ActivationIsReportedOnlyOnChanges)
{
    HWND w = createRecordingWindow();
    recorded().clear();
    NativeEvent e;
    e.window = w;
    e.kind = NativeEvent::Kind::Activate; // already active: nothing
    backend->inject(e);
    e.kind = NativeEvent::Kind::Deactivate;
    backend->inject(e);
    backend->inject(e); // twice: once only
    e.kind = NativeEvent::Kind::Activate;
    backend->inject(e);
    drain();
    std::vector<WPARAM> states;
    for (auto& m : recorded())
        if (m.message == WM_ACTIVATE)
            states.push_back(m.wParam);
    EXPECT_EQ(states, (std::vector<WPARAM>{WA_INACTIVE, WA_ACTIVE}));
}

TEST_F(WindowSystemTest, AWindowThatGetsTheFocusBackIsPaintedWithoutAnyInput)
{
    HWND w = createRecordingWindow();
    drain();
    NativeEvent e;
    e.window = w;
    e.kind = NativeEvent::Kind::Deactivate;
    backend->inject(e);
    drain();
    EXPECT_EQ(drain(), 0); // nothing waits while the window is in the background
    // The focus comes back with no expose, key or mouse: a loop waiting for a message gets a
    // paint to wake on.
    e.kind = NativeEvent::Kind::Activate;
    backend->inject(e);
    MSG m;
    ASSERT_TRUE(PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(m.message, static_cast<UINT>(WM_PAINT));
    EXPECT_EQ(m.hwnd, w);
    DispatchMessageW(&m);
    EXPECT_EQ(drain(), 0); // one paint, then quiet again
    EXPECT_EQ(GetForegroundWindow(), w);
}

TEST_F(WindowSystemTest, PaintIsMadeUpOnceUntilValidatedAndCloseIsPosted)
{
    HWND w = createRecordingWindow();
    drain(); // the first paint after showing
    recorded().clear();
    EXPECT_EQ(drain(), 0); // validated: the queue stays empty
    InvalidateRect(w, nullptr, FALSE);
    EXPECT_EQ(drain(), 1);
    EXPECT_EQ(countOf(WM_PAINT), 1);

    NativeEvent e;
    e.window = w;
    e.kind = NativeEvent::Kind::Close;
    backend->inject(e);
    MSG m;
    ASSERT_TRUE(PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(m.message, static_cast<UINT>(WM_CLOSE));
    EXPECT_TRUE(IsWindow(w)); // closing is the application's decision
}

WNDPROC g_previous = nullptr;
int g_subclassDestroys = 0;
LRESULT subclassProc(HWND w, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_DESTROY)
        ++g_subclassDestroys;
    return g_previous(w, message, wParam, lParam);
}

TEST_F(WindowSystemTest, SubclassingSwapsTheProcedureAndDestroyGoesThroughIt)
{
    HWND w = createRecordingWindow();
    g_subclassDestroys = 0;
    g_previous = reinterpret_cast<WNDPROC>(
        SetWindowLongW(w, GWL_WNDPROC, reinterpret_cast<LONG_PTR>(subclassProc)));
    ASSERT_NE(g_previous, nullptr);
    EXPECT_EQ(GetWindowLongW(w, GWL_WNDPROC), reinterpret_cast<LONG_PTR>(subclassProc));
    recorded().clear();
    ASSERT_TRUE(DestroyWindow(w));
    EXPECT_EQ(g_subclassDestroys, 1);
    EXPECT_EQ(countOf(WM_DESTROY), 1);
    EXPECT_FALSE(IsWindow(w));
    EXPECT_EQ(SetWindowLongW(w, GWL_WNDPROC, reinterpret_cast<LONG_PTR>(subclassProc)), 0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_WINDOW_HANDLE));
}

TEST_F(WindowSystemTest, MessageBoxesAreRecordedNotShown)
{
    MessageBoxW(nullptr, u"GameEngine already exists!", u"Error!", MB_ICONERROR);
    ASSERT_EQ(backend->messageBoxes().size(), 1u);
    EXPECT_EQ(backend->messageBoxes()[0].caption, "Error!");
    EXPECT_EQ(backend->messageBoxes()[0].text, "GameEngine already exists!");
    EXPECT_TRUE(backend->messageBoxes()[0].error);
}

TEST_F(WindowSystemTest, ASecondInstanceFindsTheFirstAndAsksItToRaise)
{
    EXPECT_EQ(FindWindowW(u"GameEngine", u"Pallasterhorn"), nullptr);
    ASSERT_TRUE(platform::InstanceRegistry::seedForeign(u"GameEngine", u"Pallasterhorn"));
    HWND other = FindWindowW(u"GameEngine", u"Pallasterhorn");
    ASSERT_NE(other, nullptr);
    EXPECT_FALSE(IsWindow(other));
    HWND withBit = reinterpret_cast<HWND>(reinterpret_cast<uintptr_t>(other) | 1);
    EXPECT_TRUE(SetForegroundWindow(withBit));
    EXPECT_EQ(platform::InstanceRegistry::seededRaiseCount(), 1);
}

TEST_F(WindowSystemTest, OwnWindowsAreFoundAndRaiseRequestsReachThem)
{
    HWND w = createRecordingWindow(u"Pallasterhorn-own");
    EXPECT_EQ(FindWindowW(u"TestWindow", u"Pallasterhorn-own"), w);
    EXPECT_EQ(backend->raiseCount(w), 0);
    EXPECT_TRUE(SetForegroundWindow(w));
    EXPECT_EQ(backend->raiseCount(w), 1);
}

} // namespace

namespace {

class WindowLoopTest : public ::testing::Test
{
  protected:
    void SetUp() override { testdevice::reset(); }
    void TearDown() override { testdevice::reset(); }
};

TEST_F(WindowLoopTest, GetMessageReturnsPostedMessagesAndZeroForQuit)
{
    HWND w = createRecordingWindow();
    MSG m;
    while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE))
        DispatchMessageW(&m);
    ASSERT_TRUE(PostMessageW(w, WM_COMMAND, 1, 0));
    ASSERT_EQ(GetMessageW(&m, nullptr, 0, 0), 1);
    EXPECT_EQ(m.message, static_cast<UINT>(WM_COMMAND));
    EXPECT_EQ(m.hwnd, w);
    PostQuitMessage(3);
    EXPECT_EQ(GetMessageW(&m, nullptr, 0, 0), 0);
    EXPECT_EQ(m.wParam, 3u);
    EXPECT_FALSE(PostMessageW(reinterpret_cast<HWND>(0x4444), WM_USER, 0, 0));
}

TEST_F(WindowLoopTest, UpdateWindowPaintsAtOnceOnlyWhenNeeded)
{
    HWND w = createRecordingWindow();
    recorded().clear();
    UpdateWindow(w);
    EXPECT_EQ(countOf(WM_PAINT), 1); // shown and never painted
    UpdateWindow(w);
    EXPECT_EQ(countOf(WM_PAINT), 1); // validated by BeginPaint
}

TEST_F(WindowLoopTest, TheDefaultProcedureDestroysOnClose)
{
    WNDCLASSW wc{};
    wc.lpfnWndProc = DefWindowProcW;
    wc.lpszClassName = u"Plain";
    ASSERT_NE(RegisterClassW(&wc), 0);
    HWND w =
        CreateWindowExW(0, u"Plain", u"p", 0, 0, 0, 16, 16, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(w, nullptr);
    SendMessageW(w, WM_CLOSE, 0, 0);
    EXPECT_FALSE(IsWindow(w));
    EXPECT_TRUE(UnregisterClassW(u"Plain", nullptr));
    EXPECT_FALSE(UnregisterClassW(u"Plain", nullptr));
}

TEST(WindowProcessTest, TerminateProcessEndsAtOnceWithTheCode)
{
    EXPECT_EXIT(TerminateProcess(GetCurrentProcess(), 7), ::testing::ExitedWithCode(7), "");
    EXPECT_FALSE(TerminateProcess(reinterpret_cast<HANDLE>(0x1234), 0));
}

// The message wait of an idle loop: until a message is queued or its time has passed.
class MessageWaitTest : public WindowLoopTest
{
  protected:
    void SetUp() override
    {
        WindowLoopTest::SetUp();
        platform::DeviceProfile::current().clock = platform::ClockMode::Fake;
        platform::FakeClock::freeze(5000);
        headless = &static_cast<platform::HeadlessBackend&>(platform::WindowSystem::backend());
        window = createRecordingWindow();
        MSG m;
        while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageW(&m);
    }
    platform::HeadlessBackend* headless = nullptr;
    HWND window = nullptr;
};

TEST_F(MessageWaitTest, AQueuedMessageEndsTheWaitAtOnceAndStaysQueued)
{
    ASSERT_TRUE(PostMessageW(window, WM_USER, 7, 0));
    EXPECT_EQ(MsgWaitForMultipleObjects(0, nullptr, FALSE, 1000, QS_ALLINPUT), WAIT_OBJECT_0);
    EXPECT_EQ(platform::monotonicMillis(), 5000);
    // Desktop input arrives the same way.
    MSG m;
    ASSERT_TRUE(PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(m.message, static_cast<UINT>(WM_USER));
    EXPECT_EQ(m.wParam, 7u);
    headless->injectKey(window, VK_UP, true);
    EXPECT_EQ(MsgWaitForMultipleObjects(0, nullptr, FALSE, 1000, QS_ALLINPUT), WAIT_OBJECT_0);
    EXPECT_EQ(platform::monotonicMillis(), 5000);
    ASSERT_TRUE(PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(m.message, static_cast<UINT>(WM_KEYDOWN));
}

TEST_F(MessageWaitTest, AnEmptyQueueWaitsItsTimeOnTheClock)
{
    EXPECT_EQ(MsgWaitForMultipleObjects(0, nullptr, FALSE, 0, QS_ALLINPUT), WAIT_TIMEOUT);
    EXPECT_EQ(platform::monotonicMillis(), 5000);
    EXPECT_EQ(MsgWaitForMultipleObjects(0, nullptr, FALSE, 23, QS_ALLINPUT), WAIT_TIMEOUT);
    EXPECT_EQ(platform::monotonicMillis(), 5023);
    // Only the queue can be waited on.
    HANDLE event = CreateEventW(nullptr, TRUE, TRUE, nullptr);
    EXPECT_EQ(MsgWaitForMultipleObjects(1, &event, FALSE, 10, QS_ALLINPUT), WAIT_FAILED);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    EXPECT_EQ(platform::monotonicMillis(), 5023);
    CloseHandle(event);
}

TEST_F(MessageWaitTest, AStopSignalWakesTheWaitAndClosesTheWindowAheadOfQueuedInput)
{
    testsupport::StopSignalScope signals;
    // On the real clock: a wait that missed the wake would run its whole time and say so.
    platform::DeviceProfile::current().clock = platform::ClockMode::Real;
    ASSERT_TRUE(PostMessageW(window, WM_KEYDOWN, VK_DOWN, 1));
    raise(SIGINT);
    raise(SIGTERM); // two requests before the queue is looked at close the window once
    EXPECT_TRUE(headless->wait(20000));
    EXPECT_EQ(MsgWaitForMultipleObjects(0, nullptr, FALSE, 20000, QS_ALLINPUT), WAIT_OBJECT_0);
    std::vector<UINT> taken;
    MSG m;
    while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE))
        taken.push_back(m.message);
    EXPECT_EQ(taken, (std::vector<UINT>{WM_CLOSE, WM_KEYDOWN}));
    EXPECT_EQ(MsgWaitForMultipleObjects(0, nullptr, FALSE, 0, QS_ALLINPUT), WAIT_TIMEOUT);
}

} // namespace

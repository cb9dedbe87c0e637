// The window backend of the tests and of scripted runs (PH_WINDOW_BACKEND=headless): no desktop
// window. Tests inject desktop events, read what was presented and which message boxes and raise
// requests arrived.
#pragma once

#include "platform/window/WindowBackend.h"

#include <deque>
#include <map>

namespace platform {

class HeadlessBackend : public WindowBackend
{
  public:
    using MessageBoxRecord = platform::MessageBoxRecord;

    HeadlessBackend();

    bool createWindow(HWND window, const std::string& title, int width, int height) override;
    void destroyWindow(HWND window) override;
    void present(HWND window, const uint16_t* pixels, int width, int height) override;
    void raise(HWND window) override;
    void poll(std::vector<NativeEvent>& out) override;
    // Waits for a stop request (platform/window/StopSignals.h) at most timeoutMs; on the fake
    // clock the time passes on the clock instead. Injected events are there before it waits.
    bool wait(int timeoutMs) override;
    bool messageBox(const std::string& caption, const std::string& text, bool error) override;

    void inject(const NativeEvent& event) { m_pending.push_back(event); }
    void injectKey(HWND window, UINT vk, bool down, bool repeat = false);
    void injectMouse(HWND window, NativeEvent::Kind kind, int x, int y, bool held);

    int presentCount(HWND window) const;
    int raiseCount(HWND window) const;
    const std::string& title(HWND window) const;
    const std::vector<MessageBoxRecord>& messageBoxes() const { return m_boxes; }

  private:
    struct Record
    {
        std::string title;
        int presents = 0;
        int raises = 0;
    };
    std::map<HWND, Record> m_windows;
    std::deque<NativeEvent> m_pending;
    std::vector<MessageBoxRecord> m_boxes;
};

} // namespace platform

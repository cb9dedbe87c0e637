// The emulated device the window and display tests run on: screen size and OEM text, the simulated
// libraries and memory, and a fresh window system. Every test starts from the default device.
#pragma once

#include "platform/testing/HeadlessBackend.h"
#include "platform/windows.h"

#include <string>
#include <vector>

namespace testdevice {

void setScreen(int width, int height);
void setOemText(const std::u16string& text);
void setCpuId(uint32_t id);
void setBitsPerPixel(int bits);
// Back to the default device profile (240 x 320, no OEM match, no device libraries) with a
// headless window backend and fresh detection.
platform::HeadlessBackend& reset();

// A window of the screen size whose procedure records every message it gets.
struct RecordedMessage
{
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};
HWND createRecordingWindow(const char16_t* title = u"Test");
std::vector<RecordedMessage>& recorded();
int countOf(UINT message);

} // namespace testdevice

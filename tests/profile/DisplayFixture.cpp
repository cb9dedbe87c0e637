#include "DisplayFixture.h"

#include "DeviceFixture.h"

#include "platform/DeviceProfile.h"
#include "platform/sysinfo.h"
#include "platform/window/SdlBackend.h"
#include "platform/window/WindowSystem.h"

namespace displayfixture {

namespace {

LRESULT plainProc(HWND w, UINT m, WPARAM wp, LPARAM lp)
{
    if (m == WM_CLOSE)
        return 0;
    return DefWindowProcW(w, m, wp, lp);
}

} // namespace

void DisplayFixture::SetUp()
{
    testsupport::freshDevice();
    qev::microedition::midlet::DMIDlet::global() = nullptr;
}

void DisplayFixture::TearDown()
{
    display = nullptr;
    midlet = nullptr;
    qev::microedition::midlet::DMIDlet::global() = nullptr;
    context.reset();
    testsupport::freshDevice();
}

bool DisplayFixture::start(bool sdl)
{
    if (sdl) {
        auto backend = platform::SdlBackend::create();
        if (!backend) {
            [] { GTEST_SKIP() << "no SDL video driver"; }();
            return false;
        }
        platform::WindowSystem::setBackend(std::move(backend));
    } else {
        headless = &platform::WindowSystem::useHeadless();
    }
    WNDCLASSW wc{};
    wc.lpfnWndProc = plainProc;
    wc.lpszClassName = u"GameEngine";
    RegisterClassW(&wc);
    const int w = GetSystemMetrics(SM_CXSCREEN), h = GetSystemMetrics(SM_CYSCREEN);
    window = CreateWindowExW(0, u"GameEngine", u"Pallasterhorn", WS_VISIBLE, 0, 0, w, h, nullptr,
                             nullptr, nullptr, nullptr);
    EXPECT_NE(window, nullptr);
    ShowWindow(window, SW_SHOW);
    context =
        std::make_unique<ScreenHAL::DisplayContext>(window, ScreenHAL::DisplayParams{w, h, 0, 1});
    midlet = new TestMIDlet;
    display = new qev::microedition::lcdui::DDisplay(context.get());
    return true;
}

uint16_t DisplayFixture::windowPixel(int x, int y) const
{
    const std::vector<uint16_t>& store = *platform::WindowSystem::backingStore(window);
    return store[static_cast<size_t>(y) * GetSystemMetrics(SM_CXSCREEN) + x];
}

} // namespace displayfixture

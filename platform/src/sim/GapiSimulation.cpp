#include "platform/sim/GapiSimulation.h"

#include "platform/modules/ModuleTable.h"
#include "platform/sim/EscapeSimulation.h"
#include "platform/window/WindowSystem.h"

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <new>

namespace platform::sim {

namespace {

constexpr size_t kGuard = 4096;
constexpr uint8_t kGuardByte = 0xA5;

// The frame's memory starts on a 512 KB boundary. The display's chip probes recognise a MediaQ
// by a frame from 0x42000 on within its 512 KB and then time a fill of it; a heap address chosen
// by chance would send a simulated GAPI frame into that timing, whose result follows the
// machine's load.
template <class T> struct BlockAligned
{
    using value_type = T;
    static constexpr std::align_val_t kAlign{0x80000};
    BlockAligned() = default;
    template <class U> BlockAligned(const BlockAligned<U>&) {}
    T* allocate(size_t n) { return static_cast<T*>(::operator new(n * sizeof(T), kAlign)); }
    void deallocate(T* p, size_t) { ::operator delete(p, kAlign); }
    bool operator==(const BlockAligned&) const { return true; }
};

struct Gapi
{
    GapiConfig config;
    GapiCounters counters;
    std::vector<uint8_t, BlockAligned<uint8_t>> memory;
    std::ptrdiff_t origin = 0; // offset of logical (0, 0) in memory
    size_t frameBytes = 0;
    bool open = false;
};

Gapi& gapi()
{
    static Gapi g;
    return g;
}

int gxOpenDisplay(HWND, DWORD)
{
    Gapi& g = gapi();
    if (g.config.openFails || g.open)
        return 0;
    g.open = true;
    ++g.counters.opens;
    return 1;
}

int gxCloseDisplay()
{
    Gapi& g = gapi();
    if (!g.open)
        return 0;
    g.open = false;
    ++g.counters.closes;
    return 1;
}

void* gxBeginDraw()
{
    Gapi& g = gapi();
    ++g.counters.beginDraws;
    if (!g.open || g.config.beginDrawNull)
        return nullptr;
    return g.memory.data() + g.origin;
}

int gxEndDraw()
{
    Gapi& g = gapi();
    ++g.counters.endDraws;
    HWND mirror = g.config.mirrorWindow;
    std::vector<uint16_t>* store = mirror ? WindowSystem::mutableBackingStore(mirror) : nullptr;
    RECT client;
    if (store && GetClientRect(mirror, &client)) {
        const int w = std::min<int>(client.right, static_cast<int>(g.config.cxWidth));
        const int h = std::min<int>(client.bottom, static_cast<int>(g.config.cyHeight));
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                (*store)[static_cast<size_t>(y) * client.right + x] = GapiSimulation::pixel(x, y);
        WindowSystem::presentBackingStore(mirror);
    }
    return 1;
}

int gxOpenInput()
{
    return 1;
}

int gxCloseInput()
{
    return 1;
}

GXDisplayProperties gxGetDisplayProperties()
{
    const GapiConfig& c = gapi().config;
    return GXDisplayProperties{c.cxWidth, c.cyHeight, c.cbxPitch, c.cbyPitch, c.cBPP, c.ffFormat};
}

GXKeyList gxGetDefaultKeys(int)
{
    return GXKeyList{0x26, 0x28, 0x25, 0x27, 0xC1, 0xC2, 0xC3, 0xC4};
}

int gxSuspend()
{
    ++gapi().counters.suspends;
    return 1;
}

int gxResume()
{
    ++gapi().counters.resumes;
    return 1;
}

int gxSetViewport(DWORD top, DWORD height, DWORD, DWORD)
{
    Gapi& g = gapi();
    ++g.counters.viewports;
    g.counters.lastViewport[0] = top;
    g.counters.lastViewport[1] = height;
    return 1;
}

BOOL gxIsDisplayDRAMBuffer()
{
    return gapi().config.dramBuffer ? TRUE : FALSE;
}

} // namespace

void GapiSimulation::install(const GapiConfig& config)
{
    Gapi& g = gapi();
    g = Gapi{};
    g.config = config;
    const std::ptrdiff_t w = config.cxWidth, h = config.cyHeight;
    const std::ptrdiff_t xs = config.cbxPitch, ys = config.cbyPitch;
    std::ptrdiff_t low =
        std::min<std::ptrdiff_t>(0, (w - 1) * xs) + std::min<std::ptrdiff_t>(0, (h - 1) * ys);
    std::ptrdiff_t high = std::max<std::ptrdiff_t>(0, (w - 1) * xs) +
                          std::max<std::ptrdiff_t>(0, (h - 1) * ys) + std::max(config.cBPP / 8, 1);
    g.frameBytes = static_cast<size_t>(high - low);
    g.memory.assign(g.frameBytes + 2 * kGuard, kGuardByte);
    std::fill(g.memory.begin() + kGuard, g.memory.begin() + kGuard + g.frameBytes, 0);
    g.origin = static_cast<std::ptrdiff_t>(kGuard) - low;

    ModuleExports exports = {
        {"?GXOpenDisplay@@YAHPAUHWND__@@K@Z", exportOf(gxOpenDisplay)},
        {"?GXCloseDisplay@@YAHXZ", exportOf(gxCloseDisplay)},
        {"?GXBeginDraw@@YAPAXXZ", exportOf(gxBeginDraw)},
        {"?GXEndDraw@@YAHXZ", exportOf(gxEndDraw)},
        {"?GXOpenInput@@YAHXZ", exportOf(gxOpenInput)},
        {"?GXCloseInput@@YAHXZ", exportOf(gxCloseInput)},
        {"?GXGetDisplayProperties@@YA?AUGXDisplayProperties@@XZ", exportOf(gxGetDisplayProperties)},
        {"?GXGetDefaultKeys@@YA?AUGXKeyList@@H@Z", exportOf(gxGetDefaultKeys)},
        {"?GXSuspend@@YAHXZ", exportOf(gxSuspend)},
        {"?GXResume@@YAHXZ", exportOf(gxResume)},
        {"?GXSetViewport@@YAHKKKK@Z", exportOf(gxSetViewport)},
    };
    if (config.dramExport)
        exports.push_back({"?GXIsDisplayDRAMBuffer@@YAHXZ", exportOf(gxIsDisplayDRAMBuffer)});
    ModuleTable::define("gx.dll", std::move(exports), true);
}

void GapiSimulation::uninstall()
{
    ModuleTable::define("gx.dll", {}, false);
    gapi() = Gapi{};
}

GapiConfig& GapiSimulation::config()
{
    return gapi().config;
}

GapiCounters& GapiSimulation::counters()
{
    return gapi().counters;
}

uint8_t* GapiSimulation::framePointer()
{
    return gapi().memory.data() + gapi().origin;
}

uint8_t* GapiSimulation::frameLow()
{
    return gapi().memory.data() + kGuard;
}

uint8_t* GapiSimulation::frameHigh()
{
    return gapi().memory.data() + kGuard + gapi().frameBytes;
}

uint16_t GapiSimulation::pixel(int x, int y)
{
    const GapiConfig& c = gapi().config;
    uint16_t v;
    std::memcpy(&v,
                framePointer() + static_cast<std::ptrdiff_t>(x) * c.cbxPitch +
                    static_cast<std::ptrdiff_t>(y) * c.cbyPitch,
                2);
    return v;
}

bool GapiSimulation::guardsIntact()
{
    Gapi& g = gapi();
    auto guardOk = [](auto begin, auto end) {
        return std::all_of(begin, end, [](uint8_t b) { return b == kGuardByte; });
    };
    return guardOk(g.memory.begin(), g.memory.begin() + kGuard) &&
           guardOk(g.memory.end() - kGuard, g.memory.end());
}

// gxdma.dll

namespace {

struct GxDma
{
    GxDmaConfig config;
    GxDmaCounters counters;
    std::vector<uint16_t> dram;
    std::vector<uint16_t> vram;
    int pollsLeft = 0;
};

GxDma& dma()
{
    static GxDma d;
    return d;
}

BOOL dmaDramToVram(DWORD left, DWORD width, DWORD top, DWORD height)
{
    GxDma& d = dma();
    ++d.counters.transfers;
    d.counters.last[0] = left;
    d.counters.last[1] = width;
    d.counters.last[2] = top;
    d.counters.last[3] = height;
    const int w = d.config.width, h = d.config.height;
    if (left + width > static_cast<DWORD>(w) || top + height > static_cast<DWORD>(h))
        return FALSE;
    for (DWORD y = top; y < top + height; ++y)
        std::memcpy(&d.vram[y * w + left], &d.dram[y * w + left], width * 2);
    return TRUE;
}

BOOL dmaVramToDram(DWORD, DWORD, DWORD, DWORD)
{
    return TRUE;
}

BOOL isDmaReady()
{
    GxDma& d = dma();
    ++d.counters.readyPolls;
    if (d.pollsLeft > 0) {
        --d.pollsLeft;
        return FALSE;
    }
    return TRUE;
}

} // namespace

void GxDmaSimulation::install(const GxDmaConfig& config)
{
    GxDma& d = dma();
    d = GxDma{};
    d.config = config;
    d.pollsLeft = config.notReadyPolls;
    d.dram.assign(static_cast<size_t>(config.width) * config.height, 0);
    d.vram.assign(d.dram.size(), 0);
    ModuleExports exports = {{"DmaVRAMtoDRAM", exportOf(dmaVramToDram)},
                             {"DmaDRAMtoVRAM", exportOf(dmaDramToVram)}};
    if (config.withIsDmaReady)
        exports.push_back({"IsDMAReady", exportOf(isDmaReady)});
    ModuleTable::define("gxdma.dll", std::move(exports), true);

    EscapeReplies& r = EscapeSimulation::replies();
    r.gxInfoSupported = true;
    r.gxInfo = GXDeviceInfo{};
    r.gxInfo.idVersion = GXINFO_VERSION;
    r.gxInfo.pvFrameBuffer = d.dram.data();
    r.gxInfo.cbStride = config.width * 2;
    r.gxInfo.cxWidth = config.width;
    r.gxInfo.cyHeight = config.height;
    r.gxInfo.cBPP = 16;
    r.gxInfo.ffFormat = kfDirect | kfDirect565;
}

void GxDmaSimulation::uninstall()
{
    ModuleTable::define("gxdma.dll", {}, false);
    dma() = GxDma{};
}

GxDmaCounters& GxDmaSimulation::counters()
{
    return dma().counters;
}

uint16_t* GxDmaSimulation::dram()
{
    return dma().dram.data();
}

uint16_t* GxDmaSimulation::vram()
{
    return dma().vram.data();
}

int GxDmaSimulation::pitchPixels()
{
    return dma().config.width;
}

} // namespace platform::sim

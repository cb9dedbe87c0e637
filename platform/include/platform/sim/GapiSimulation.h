// gx.dll and gxdma.dll as in-process modules with configurable display properties and frame
// memory, for running the GAPI and direct frame-buffer drivers under test.
#pragma once

#include "platform/gapi.h"

#include <cstdint>
#include <vector>

namespace platform::sim {

struct GapiConfig
{
    DWORD cxWidth = 240;
    DWORD cyHeight = 320;
    int32_t cbxPitch = 2;
    int32_t cbyPitch = 480;
    int32_t cBPP = 16;
    DWORD ffFormat = kfDirect | kfDirect565;
    bool dramExport = true; // "GXIsDisplayDRAMBuffer" exported
    bool dramBuffer = true; // and its answer
    bool openFails = false;
    bool beginDrawNull = false;
    // When set, GXEndDraw shows the frame (in the device's upright view) in this window, so
    // that a whole run can go through the GAPI driver and still be seen.
    HWND mirrorWindow = nullptr;
};

struct GapiCounters
{
    int opens = 0;
    int closes = 0;
    int beginDraws = 0;
    int endDraws = 0;
    int suspends = 0;
    int resumes = 0;
    int viewports = 0;
    DWORD lastViewport[2] = {0, 0};
};

class GapiSimulation
{
  public:
    // Registers gx.dll as present with this configuration and fresh frame memory.
    static void install(const GapiConfig& config);
    // gx.dll absent.
    static void uninstall();
    static GapiConfig& config();
    static GapiCounters& counters();
    // Address of logical pixel (0, 0) as GXBeginDraw reports it.
    static uint8_t* framePointer();
    // The frame memory's lowest and one-past-highest address (guard space excluded).
    static uint8_t* frameLow();
    static uint8_t* frameHigh();
    // The pixel at (x, y) of the device's own layout, through the two pitches.
    static uint16_t pixel(int x, int y);
    static bool guardsIntact();
};

struct GxDmaConfig
{
    int width = 240;
    int height = 320;
    int notReadyPolls = 0; // IsDMAReady answers false this many times first
    bool withIsDmaReady = true;
};

struct GxDmaCounters
{
    int transfers = 0;
    DWORD last[4] = {0, 0, 0, 0}; // left, width, top, height of the last DmaDRAMtoVRAM
    int readyPolls = 0;
};

class GxDmaSimulation
{
  public:
    // Registers gxdma.dll and makes the GETGXINFO escape report its system-memory frame.
    static void install(const GxDmaConfig& config);
    static void uninstall();
    static GxDmaCounters& counters();
    static uint16_t* dram();
    static uint16_t* vram();
    static int pitchPixels();
};

} // namespace platform::sim

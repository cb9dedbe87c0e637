// Run-time libraries over the in-process module table, the shell helper, the escapes and the
// physical memory simulation.
#include "TestDevice.h"

#include "platform/aygshell.h"
#include "platform/escape.h"
#include "platform/modules.h"
#include "platform/modules/ModuleTable.h"
#include "platform/physmem.h"
#include "platform/sim/GapiSimulation.h"
#include "platform/sim/PhysicalMemory.h"
#include "platform/window/WindowSystem.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace platform::sim;

namespace {

class ModulesTest : public ::testing::Test
{
  protected:
    void SetUp() override { testdevice::reset(); }
    void TearDown() override { testdevice::reset(); }
};

TEST_F(ModulesTest, NamesMatchWithoutCaseFolderOrExtension)
{
    for (const char16_t* name :
         {u"aygshell.dll", u"AYGSHELL.DLL", u"\\Windows\\aygshell.dll", u"aygshell"}) {
        HMODULE m = LoadLibraryW(name);
        ASSERT_NE(m, nullptr) << "name " << static_cast<int>(name[0]);
        EXPECT_NE(GetProcAddressW(m, u"SHFullScreen"), nullptr);
        EXPECT_TRUE(FreeLibrary(m));
    }
    EXPECT_EQ(platform::ModuleTable::loadCount("aygshell.dll"), 0);
}

TEST_F(ModulesTest, MissingModulesAndEntriesReportTheirErrors)
{
    EXPECT_EQ(LoadLibraryW(u"gx.dll"), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_MOD_NOT_FOUND));
    EXPECT_EQ(LoadLibraryW(u"libc.so.6"), nullptr);
    HMODULE core = LoadLibraryW(u"coredll.dll");
    ASSERT_NE(core, nullptr);
    EXPECT_EQ(GetProcAddressW(core, u"NoSuchEntry"), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PROC_NOT_FOUND));
    EXPECT_TRUE(FreeLibrary(core));
    EXPECT_FALSE(FreeLibrary(core)); // already released
}

TEST_F(ModulesTest, SimulatedLibrariesComeAndGo)
{
    GapiSimulation::install(GapiConfig{});
    HMODULE gx = LoadLibraryW(u"GX.DLL");
    ASSERT_NE(gx, nullptr);
    EXPECT_NE(GetProcAddressW(gx, u"?GXBeginDraw@@YAPAXXZ"), nullptr);
    FreeLibrary(gx);
    GapiConfig noDram;
    noDram.dramExport = false;
    GapiSimulation::install(noDram);
    gx = LoadLibraryW(u"gx.dll");
    EXPECT_EQ(GetProcAddressW(gx, u"?GXIsDisplayDRAMBuffer@@YAHXZ"), nullptr);
    FreeLibrary(gx);
    GapiSimulation::uninstall();
    EXPECT_EQ(LoadLibraryW(u"gx.dll"), nullptr);
}

TEST_F(ModulesTest, TheShellHelperRemembersWhatItHidAndShowed)
{
    HWND w = testdevice::createRecordingWindow();
    HMODULE ayg = LoadLibraryW(u"aygshell.dll");
    auto full = reinterpret_cast<SHFullScreenProc>(GetProcAddressW(ayg, u"SHFullScreen"));
    ASSERT_NE(full, nullptr);
    EXPECT_TRUE(full(w, SHFS_HIDETASKBAR | SHFS_HIDESIPBUTTON | SHFS_HIDESTARTICON));
    EXPECT_EQ(platform::WindowSystem::shellState(w), 0x2Au);
    full(w, SHFS_SHOWTASKBAR);
    EXPECT_EQ(platform::WindowSystem::shellState(w), 0x29u);
    FreeLibrary(ayg);
    platform::ModuleTable::setPresent("aygshell.dll", false);
    EXPECT_EQ(LoadLibraryW(u"aygshell.dll"), nullptr);
}

TEST_F(ModulesTest, EscapesAreUnsupportedUnlessADeviceAnswersThem)
{
    HDC screen = GetDC(nullptr);
    int32_t code = GETGXINFO;
    EXPECT_EQ(ExtEscape(screen, QUERYESCSUPPORT, 4, reinterpret_cast<LPCSTR>(&code), 0, nullptr),
              0);
    code = GETRAWFRAMEBUFFER;
    EXPECT_EQ(ExtEscape(screen, QUERYESCSUPPORT, 4, reinterpret_cast<LPCSTR>(&code), 0, nullptr),
              0);
    RawFrameBufferInfo info{};
    EXPECT_EQ(ExtEscape(screen, GETRAWFRAMEBUFFER, 0, nullptr, sizeof info,
                        reinterpret_cast<char*>(&info)),
              0);
    ReleaseDC(nullptr, screen);
}

TEST_F(ModulesTest, PhysicalPagesAppearWhereTheyAreMapped)
{
    uint8_t* device = PhysicalMemory::addRange(0x40000000, 8192);
    ASSERT_NE(device, nullptr);
    void* va = VirtualAlloc(nullptr, 4096, MEM_RESERVE, PAGE_NOACCESS);
    ASSERT_NE(va, nullptr);
    EXPECT_EQ(PhysicalMemory::liveReservations(), 1);
    ASSERT_TRUE(VirtualCopy(va, reinterpret_cast<void*>(uintptr_t(0x40001000 >> 8)), 4096,
                            PAGE_READWRITE | PAGE_NOCACHE | PAGE_PHYSICAL));
    auto* mapped = static_cast<volatile uint32_t*>(va);
    mapped[3] = 0xCAFEF00D;
    uint32_t seen;
    std::memcpy(&seen, device + 4096 + 12, 4);
    EXPECT_EQ(seen, 0xCAFEF00Du);
    uint32_t written = 0x12345678;
    std::memcpy(device + 4096, &written, 4);
    EXPECT_EQ(mapped[0], 0x12345678u);
    EXPECT_TRUE(VirtualFree(va, 0, MEM_RELEASE));
    EXPECT_EQ(PhysicalMemory::liveReservations(), 0);
}

TEST_F(ModulesTest, UnknownPhysicalRangesAndInjectedFailuresAreRefused)
{
    void* va = VirtualAlloc(nullptr, 4096, MEM_RESERVE, PAGE_NOACCESS);
    ASSERT_NE(va, nullptr);
    EXPECT_FALSE(VirtualCopy(va, reinterpret_cast<void*>(uintptr_t(0xB0100000 >> 8)), 44,
                             PAGE_READWRITE | PAGE_PHYSICAL));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    PhysicalMemory::addRange(0xB0100000, 4096);
    EXPECT_FALSE(VirtualCopy(va, reinterpret_cast<void*>(uintptr_t(0xB0100000 >> 8)), 44,
                             PAGE_READWRITE)); // not a physical copy
    EXPECT_TRUE(VirtualCopy(va, reinterpret_cast<void*>(uintptr_t(0xB0100000 >> 8)), 44,
                            PAGE_READWRITE | PAGE_PHYSICAL));
    VirtualFree(va, 0, MEM_RELEASE);
    PhysicalMemory::failVirtualAlloc(true);
    EXPECT_EQ(VirtualAlloc(nullptr, 4096, MEM_RESERVE, PAGE_NOACCESS), nullptr);
    EXPECT_EQ(platform::kernelView(0xAC050020, 4), nullptr);
}

} // namespace

// Virtual memory reservations and mappings of physical device memory (LCD controller registers,
// frame memory), and the one place where kernel-view addresses are turned into pointers.
#pragma once

#include "platform/wintypes.h"

#include <cstddef>

#define MEM_COMMIT 0x1000
#define MEM_RESERVE 0x2000
#define MEM_RELEASE 0x8000
#define PAGE_NOACCESS 0x01
#define PAGE_READWRITE 0x04
#define PAGE_NOCACHE 0x200
#define PAGE_PHYSICAL 0x400

LPVOID VirtualAlloc(LPVOID address, DWORD size, DWORD type, DWORD protect);
BOOL VirtualFree(LPVOID address, DWORD size, DWORD type);
// With PAGE_PHYSICAL, `source` is the physical address shifted right by 8 and the pages of that
// physical range appear at `dest` (a reservation from VirtualAlloc, page-aligned). Unknown
// physical ranges fail with ERROR_INVALID_PARAMETER.
BOOL VirtualCopy(LPVOID dest, LPVOID source, DWORD size, DWORD protect);

namespace platform {
// The memory behind a kernel-view address (the statically mapped, cached and uncached views of
// device memory), or null when nothing is known there. On a host without such views only the
// ranges a device simulation registered answer.
void* kernelView(uintptr_t address, size_t bytes);
} // namespace platform

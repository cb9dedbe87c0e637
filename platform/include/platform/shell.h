// Opening a web address with the desktop's browser (ShellExecuteExW with a URL as the file).
// Only http and https addresses are opened; the browser starts without a shell in between.
#pragma once

#include "platform/windows.h"

#include <chrono>
#include <functional>
#include <string>

#define SEE_MASK_NOCLOSEPROCESS 0x00000040

struct SHELLEXECUTEINFOW
{
    DWORD cbSize;
    ULONG fMask;
    HWND hwnd;
    LPCWSTR lpVerb;
    LPCWSTR lpFile;
    LPCWSTR lpParameters;
    LPCWSTR lpDirectory;
    int nShow;
    HINSTANCE hInstApp;
    LPVOID lpIDList;
    LPCWSTR lpClass;
    HKEY hkeyClass;
    DWORD dwHotKey;
    HANDLE hIcon;
    HANDLE hProcess;
};

// FALSE when the address is not http(s), xdg-open is missing or reports failure.
BOOL ShellExecuteExW(SHELLEXECUTEINFOW* info);

namespace platform {
// Replaces the browser start (xdg-open) with the given call; null restores it. For tests.
void setUrlOpener(std::function<bool(const std::string& url)> opener);
// How long a start waits for xdg-open to report before counting it as done (1.5 s); max() waits
// until it ends. For tests.
void setBrowserWait(std::chrono::milliseconds limit);
} // namespace platform

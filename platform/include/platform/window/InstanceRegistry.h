// Finds the windows of other running instances of the program, per user, through a locked file
// and a datagram socket per (class, title) in $XDG_RUNTIME_DIR (or /tmp/ph-<uid>). The owner of a
// window holds the lock while the window lives and answers "raise" requests sent to its socket.
// A folder that is not the user's alone (owner, mode 0700) is not used: nothing is found or
// claimed there, and the run says so once on the error output.
#pragma once

#include "platform/wintypes.h"

#include <string>
#include <vector>

namespace platform {

class InstanceRegistry
{
  public:
    // A private namespace keeps test runs apart from each other and from a real game.
    static void setNamespace(const std::string& name);
    // Claims (class, title) for a window of this process. False when another holder exists.
    static bool claim(HWND window, const std::u16string& className, const std::u16string& title);
    static void release(HWND window);
    // A handle standing for the other instance's window, or null when none runs.
    static HWND findForeign(const std::u16string& className, const std::u16string& title);
    static bool isForeign(HWND window);
    // Sends "raise" to the foreign window's owner.
    static bool raiseForeign(HWND window);
    // The windows of this process for which a raise request arrived since the last call.
    static std::vector<HWND> takeRaiseRequests();

    // Holds (class, title) as another instance would, from this process; for tests.
    static bool seedForeign(const std::u16string& className, const std::u16string& title);
    // Raise requests that reached seeded foreign windows.
    static int seededRaiseCount();
    static void clearSeeds();
    // Removes the namespace's folder when nothing is left in it.
    static void removeEmptyNamespace();
};

} // namespace platform

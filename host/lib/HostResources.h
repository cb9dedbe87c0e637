// The executable's resources: the window title and class strings, the splash bitmap, the icon
// and the cursor, registered at start in place of a resource section.
#pragma once

namespace host {

constexpr unsigned kSplashBitmapId = 101;
constexpr unsigned kTitleStringId = 101;
constexpr unsigned kClassStringId = 102;
constexpr unsigned kIconId = 103;
constexpr unsigned kCursorId = 104;

void registerResources();

} // namespace host

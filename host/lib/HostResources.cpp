#include "HostResources.h"

#include "SplashBitmap.h"

#include "platform/resources.h"

namespace host {

void registerResources()
{
    platform::Resources::addString(kTitleStringId, u"Pallasterhorn");
    platform::Resources::addString(kClassStringId, u"GameEngine");
    platform::Resources::addBitmap(kSplashBitmapId, SplashBitmap::kWidth, SplashBitmap::kHeight,
                                   SplashBitmap::pixels());
    platform::Resources::addIcon(kIconId);
    platform::Resources::addCursor(kCursorId);
}

} // namespace host

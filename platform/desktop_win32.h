// The Windows desktop behind the desktop layer: the Active Desktop COM object
// and SystemParametersInfoA. COM must be initialised on the calling thread.
#pragma once

#include "platform/desktop.h"

namespace platform {

class Win32Desktop : public Desktop {
public:
    bool activeDesktopUsable() override;
    ActiveDesktopResult activeGetWallpaper(char *path, int32_t *style) override;
    ActiveDesktopResult activeSetWallpaper(const char *path, int32_t style) override;
    bool systemGetWallpaper(char *path) override;
    bool systemSetWallpaper(const char *path, bool persist) override;
};

}  // namespace platform

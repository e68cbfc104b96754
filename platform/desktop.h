// The desktop wallpaper layer: the shell's Active Desktop object and the
// system wallpaper call. The choice between them and the classic registry
// values live in app/desktop.
#pragma once

#include <cstdint>

namespace platform {

// Outcome of an operation tried through the Active Desktop object.
enum class ActiveDesktopResult {
    notUsable,  // the object could not be created or Active Desktop is off
    failed,     // usable, but the operation itself failed
    done
};

class Desktop {
public:
    virtual ~Desktop() {}
    // Creates the Active Desktop object, asks GetDesktopItemOptions whether
    // Active Desktop is on, releases the object.
    virtual bool activeDesktopUsable() = 0;
    // Each of the next two creates the object, checks it is usable and, if
    // so, runs the operation on that same object; the object is released
    // before returning. path is an ANSI buffer of 260 bytes.
    virtual ActiveDesktopResult activeGetWallpaper(char *path, int32_t *style) = 0;
    // SetWallpaper, SetWallpaperOptions, ApplyChanges(AD_APPLY_ALL); the
    // change is always saved.
    virtual ActiveDesktopResult activeSetWallpaper(const char *path, int32_t style) = 0;
    // SystemParametersInfoA(SPI_GETDESKWALLPAPER) into 260 bytes.
    virtual bool systemGetWallpaper(char *path) = 0;
    // SystemParametersInfoA(SPI_SETDESKWALLPAPER); persist updates the user
    // profile and broadcasts the change.
    virtual bool systemSetWallpaper(const char *path, bool persist) = 0;
};

}  // namespace platform

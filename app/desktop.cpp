// Desktop wallpaper: the choice of way and the classic registry values.
#include "app/desktop.h"

#include <cstring>

const char kDesktopKeyPath[] = "Control Panel\\Desktop";

const char *tileValueFor(int32_t style) { return style == kWpStyleTile ? "1" : "0"; }

const char *styleValueFor(int32_t style) { return style == kWpStyleStretch ? "2" : "0"; }

int32_t styleFromValues(char tileFirst, char styleFirst) {
    if (tileFirst == '1') return kWpStyleTile;
    return styleFirst == '2' ? kWpStyleStretch : kWpStyleCenter;
}

bool isActiveDesktopOn(DesktopAccess access) { return access.desktop.activeDesktopUsable(); }

namespace {

// The first character of a short string value, read into a 4-byte buffer;
// NUL when the value cannot be read.
char firstCharOf(platform::Registry &registry, platform::RegistryKey key, const char *name) {
    char buffer[4] = {0, 0, 0, 0};
    uint32_t size = sizeof buffer;
    if (registry.queryValue(key, name, buffer, &size, nullptr) != platform::RegistryResult::ok)
        return '\0';
    return size > 0 ? buffer[0] : '\0';
}

}  // namespace

bool getDesktopWallpaper(DesktopAccess access, bool noActiveDesktop, char *path,
                         int32_t *style) {
    if (!noActiveDesktop &&
        access.desktop.activeGetWallpaper(path, style) != platform::ActiveDesktopResult::notUsable)
        return true;
    platform::RegistryKey key = nullptr;
    if (!access.registry.openKey(platform::RegistryRoot::currentUser, kDesktopKeyPath,
                                 platform::RegistryAccess::queryValue, &key))
        return false;
    char tile = firstCharOf(access.registry, key, "TileWallPaper");
    // Read only when the tile value does not already decide the style.
    char stretch = tile == '1' ? '\0' : firstCharOf(access.registry, key, "WallPaperStyle");
    access.registry.closeKey(key);
    *style = styleFromValues(tile, stretch);
    if (!access.desktop.systemGetWallpaper(path)) path[0] = '\0';
    return true;
}

bool setDesktopWallpaper(DesktopAccess access, bool noActiveDesktop, const char *path,
                         int32_t style, bool persist) {
    if (!noActiveDesktop) {
        // A failure of the Active Desktop way is final: falling back to the
        // classic way would leave the two ways disagreeing.
        platform::ActiveDesktopResult result = access.desktop.activeSetWallpaper(path, style);
        if (result != platform::ActiveDesktopResult::notUsable)
            return result == platform::ActiveDesktopResult::done;
    }
    platform::RegistryKey key = nullptr;
    if (!access.registry.openKey(platform::RegistryRoot::currentUser, kDesktopKeyPath,
                                 platform::RegistryAccess::write, &key))
        return false;
    // Both values are written as 2 bytes: one digit and its NUL.
    access.registry.setValue(key, "TileWallPaper", platform::RegistryType::string,
                             tileValueFor(style), 2);
    access.registry.setValue(key, "WallpaperStyle", platform::RegistryType::string,
                             styleValueFor(style), 2);
    access.registry.closeKey(key);
    return access.desktop.systemSetWallpaper(path, persist);
}

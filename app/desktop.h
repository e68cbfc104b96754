// Reading and setting the desktop wallpaper: through Active Desktop when it is
// enabled and not bypassed, otherwise through the classic Control
// Panel\Desktop values and the system wallpaper call.
#pragma once

#include <cstdint>

#include "platform/desktop.h"
#include "platform/registry.h"

// Wallpaper styles shared by both ways (the values of the SDK's WPSTYLE_
// macros, named apart so that no header included first can replace them;
// app/win32/sdk_values.cpp holds them equal).
const int32_t kWpStyleCenter = 0;
const int32_t kWpStyleTile = 1;
const int32_t kWpStyleStretch = 2;

extern const char kDesktopKeyPath[];  // "Control Panel\Desktop"

// The two services every desktop operation needs.
struct DesktopAccess {
    platform::Desktop &desktop;
    platform::Registry &registry;
};

// Whether Active Desktop is enabled, whatever NoActiveDesktop says.
bool isActiveDesktopOn(DesktopAccess access);
// path: 260 bytes. False (path and style untouched) when the classic way
// cannot open the desktop key.
bool getDesktopWallpaper(DesktopAccess access, bool noActiveDesktop, char *path,
                         int32_t *style);
bool setDesktopWallpaper(DesktopAccess access, bool noActiveDesktop, const char *path,
                         int32_t style, bool persist);

// The classic way's registry strings for a style: TileWallPaper is "1" for
// tile, WallpaperStyle is "2" for stretch; everything else is "0".
const char *tileValueFor(int32_t style);
const char *styleValueFor(int32_t style);
// The style read back from the first characters of the two values (0 when a
// value could not be read); tile wins over stretch.
int32_t styleFromValues(char tileFirst, char styleFirst);

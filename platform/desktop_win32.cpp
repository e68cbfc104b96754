// The Windows desktop: Active Desktop through COM, and the system wallpaper.
#include "platform/desktop_win32.h"

#include <windows.h>
#include <objbase.h>

namespace platform {

// The Active Desktop interface is declared here because not every SDK's
// headers carry it. Only the slots up to GetDesktopItemOptions are used; the
// order must match the shell's interface exactly. These types stay outside an
// anonymous namespace: there the compiler would know every class deriving
// from the interface (none in this program) and could turn the calls into
// nonsense.
struct WallpaperOptions {
    DWORD dwSize;  // 8
    DWORD dwStyle;
};

struct ComponentsOptions {
    DWORD dwSize;  // 12
    BOOL fEnableComponents;
    BOOL fActiveDesktop;
};

struct ActiveDesktopInterface : public IUnknown {
    virtual HRESULT STDMETHODCALLTYPE ApplyChanges(DWORD flags) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetWallpaper(WCHAR *path, UINT length, DWORD flags) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetWallpaper(const WCHAR *path, DWORD reserved) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetWallpaperOptions(WallpaperOptions *options,
                                                          DWORD reserved) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetWallpaperOptions(const WallpaperOptions *options,
                                                          DWORD reserved) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetPattern(WCHAR *pattern, UINT length,
                                                 DWORD reserved) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetPattern(const WCHAR *pattern, DWORD reserved) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetDesktopItemOptions(ComponentsOptions *options,
                                                            DWORD reserved) = 0;
};

namespace {

const GUID kActiveDesktopClass = {
    0x75048700, 0xEF1F, 0x11D0, {0x98, 0x88, 0x00, 0x60, 0x97, 0xDE, 0xAC, 0xF9}};
const GUID kActiveDesktopInterface = {
    0xF490EB00, 0x1240, 0x11D1, {0x98, 0x88, 0x00, 0x60, 0x97, 0xDE, 0xAC, 0xF9}};

// Save, regenerate the desktop's HTML and refresh (AD_APPLY_ALL).
const DWORD kApplyAll = 7;
const int kWidePathLength = 260;

// The usable-step: the object, when it exists and Active Desktop is on.
// Ownership of the returned pointer passes to the caller, who releases it.
ActiveDesktopInterface *openActiveDesktop() {
    void *object = nullptr;
    if (FAILED(CoCreateInstance(kActiveDesktopClass, nullptr, CLSCTX_INPROC_SERVER,
                                kActiveDesktopInterface, &object)) ||
        !object)
        return nullptr;
    ActiveDesktopInterface *desktop = static_cast<ActiveDesktopInterface *>(object);
    ComponentsOptions options;
    ZeroMemory(&options, sizeof options);
    options.dwSize = sizeof options;
    // Wine creates the object but answers E_NOTIMPL here, so the classic way
    // is what runs there.
    if (FAILED(desktop->GetDesktopItemOptions(&options, 0)) || !options.fActiveDesktop) {
        desktop->Release();
        return nullptr;
    }
    return desktop;
}

}  // namespace

bool Win32Desktop::activeDesktopUsable() {
    ActiveDesktopInterface *desktop = openActiveDesktop();
    if (!desktop) return false;
    desktop->Release();
    return true;
}

ActiveDesktopResult Win32Desktop::activeGetWallpaper(char *path, int32_t *style) {
    ActiveDesktopInterface *desktop = openActiveDesktop();
    if (!desktop) return ActiveDesktopResult::notUsable;
    WCHAR wide[kWidePathLength];
    wide[0] = 0;
    desktop->GetWallpaper(wide, kWidePathLength, 0);
    wide[kWidePathLength - 1] = 0;
    if (!WideCharToMultiByte(CP_ACP, 0, wide, -1, path, 260, nullptr, nullptr)) path[0] = '\0';
    WallpaperOptions options = {sizeof(WallpaperOptions), 0};
    desktop->GetWallpaperOptions(&options, 0);
    *style = static_cast<int32_t>(options.dwStyle);
    desktop->Release();
    return ActiveDesktopResult::done;
}

ActiveDesktopResult Win32Desktop::activeSetWallpaper(const char *path, int32_t style) {
    ActiveDesktopInterface *desktop = openActiveDesktop();
    if (!desktop) return ActiveDesktopResult::notUsable;
    WCHAR wide[kWidePathLength];
    if (!MultiByteToWideChar(CP_ACP, 0, path, -1, wide, kWidePathLength)) wide[0] = 0;
    if (FAILED(desktop->SetWallpaper(wide, 0))) {
        desktop->Release();
        return ActiveDesktopResult::failed;
    }
    WallpaperOptions options = {sizeof(WallpaperOptions), static_cast<DWORD>(style)};
    desktop->SetWallpaperOptions(&options, 0);
    desktop->ApplyChanges(kApplyAll);
    desktop->Release();
    return ActiveDesktopResult::done;
}

bool Win32Desktop::systemGetWallpaper(char *path) {
    return SystemParametersInfoA(SPI_GETDESKWALLPAPER, 260, path, 0) != 0;
}

bool Win32Desktop::systemSetWallpaper(const char *path, bool persist) {
    // Not persisting keeps the generated wallpapers out of the user profile;
    // only the restore on exit is written there.
    UINT flags = persist ? (SPIF_UPDATEINIFILE | SPIF_SENDWININICHANGE) : 0;
    return SystemParametersInfoA(SPI_SETDESKWALLPAPER, 0, const_cast<char *>(path), flags) != 0;
}

}  // namespace platform

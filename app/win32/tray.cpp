// The tray icon, the program's icons and the tray menu.
#include "app/win32/win32_shell.h"

#include <shellapi.h>

#include "app/menu_state.h"
#include "app/messages.h"
#include "app/resources/resource.h"

namespace {

const UINT kTrayIconId = 1;

// A zeroed entry for our one icon. The version-1 size is what every shell
// understands; the header's macro gives it for this platform's layout.
NOTIFYICONDATAA trayEntry(HWND window) {
    NOTIFYICONDATAA data;
    ZeroMemory(&data, sizeof data);
    data.cbSize = NOTIFYICONDATAA_V1_SIZE;
    data.hWnd = window;
    data.uID = kTrayIconId;
    return data;
}

HICON loadIcon(HINSTANCE instance, int32_t id, int32_t size) {
    return static_cast<HICON>(
        LoadImageA(instance, MAKEINTRESOURCEA(id), IMAGE_ICON, size, size, LR_DEFAULTCOLOR));
}

UINT enabledFlag(bool enabled) { return enabled ? MF_ENABLED : MF_GRAYED | MF_DISABLED; }

}  // namespace

void Win32Shell::loadIcons() {
    largeIcon = loadIcon(instance, IDI_PROGRAM, 32);
    smallIcon = loadIcon(instance, IDI_PROGRAM, 16);
    pausedIcon = loadIcon(instance, IDI_PAUSED, 16);
}

void Win32Shell::destroyIcons() {
    if (largeIcon) DestroyIcon(largeIcon);
    if (smallIcon) DestroyIcon(smallIcon);
    if (pausedIcon) DestroyIcon(pausedIcon);
    largeIcon = smallIcon = pausedIcon = nullptr;
}

bool Win32Shell::addTrayIcon(bool paused) {
    NOTIFYICONDATAA data = trayEntry(mainWindow);
    data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    data.uCallbackMessage = kMsgTray;
    data.hIcon = paused ? pausedIcon : smallIcon;
    lstrcpynA(data.szTip, "chromaweave", sizeof data.szTip);
    return Shell_NotifyIconA(NIM_ADD, &data) != FALSE;
}

void Win32Shell::updateTrayIcon(bool paused) {
    NOTIFYICONDATAA data = trayEntry(mainWindow);
    data.uFlags = NIF_ICON;
    data.hIcon = paused ? pausedIcon : smallIcon;
    Shell_NotifyIconA(NIM_MODIFY, &data);
}

void Win32Shell::removeTrayIcon() {
    NOTIFYICONDATAA data = trayEntry(mainWindow);
    Shell_NotifyIconA(NIM_DELETE, &data);
}

void Win32Shell::setWindowIcons(HWND window) {
    SendMessageA(window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon));
    SendMessageA(window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(largeIcon));
}

void Win32Shell::showTrayMenu() {
    HMENU menu = resources.loadMenu(IDM_TRAY);
    if (!menu) return;
    HMENU popup = GetSubMenu(menu, 0);
    const ShellState &state = cycle->state();
    MenuState items = menuStateFor(MenuInputs{
        state.currentPicture != nullptr, settings.UseSequentialNo, state.paused, state.stopped,
        settingsDialog != nullptr, saveAsDialog != nullptr});
    EnableMenuItem(popup, IDM_SAVE, MF_BYCOMMAND | enabledFlag(items.saveEnabled));
    EnableMenuItem(popup, IDM_SAVE_AS, MF_BYCOMMAND | enabledFlag(items.saveAsEnabled));
    EnableMenuItem(popup, IDM_CHANGE, MF_BYCOMMAND | enabledFlag(items.changeEnabled));
    EnableMenuItem(popup, IDM_STOP, MF_BYCOMMAND | enabledFlag(items.stopEnabled));
    CheckMenuItem(popup, IDM_STOP, MF_BYCOMMAND | (items.stopChecked ? MF_CHECKED : MF_UNCHECKED));
    POINT cursor = {0, 0};
    GetCursorPos(&cursor);
    // A tray menu of a window that is not in the foreground does not close
    // when the user clicks elsewhere: make the hidden window the foreground
    // one first.
    SetForegroundWindow(mainWindow);
    TrackPopupMenu(popup, TPM_RIGHTBUTTON, cursor.x, cursor.y, 0, mainWindow, nullptr);
    // Without a message after the menu, a second right click can find the
    // menu's own loop still waiting (a long-standing shell quirk).
    PostMessageA(mainWindow, WM_NULL, 0, 0);
    DestroyMenu(menu);
}

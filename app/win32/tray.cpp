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

// Menu resource 10 stays as it is: the advanced settings item is inserted
// below the settings item each time the menu is loaded.
void insertAdvancedItem(const platform::Win32Resources &resources, HMENU popup) {
    char text[64] = "";
    if (resources.loadString(IDS_ADVANCED_MENU, text, sizeof text) == 0) return;
    for (int32_t i = 0; i < GetMenuItemCount(popup); ++i) {
        if (GetMenuItemID(popup, i) == IDM_SETTINGS) {
            InsertMenuA(popup, UINT(i + 1), MF_BYPOSITION | MF_STRING, IDM_ADVANCED, text);
            return;
        }
    }
}

}  // namespace

void Win32Shell::loadIcons() {
    largeIcon = loadIcon(instance, IDI_PROGRAM, 32);
    smallIcon = loadIcon(instance, IDI_PROGRAM, 16);
    pausedIcon = loadIcon(instance, IDI_PAUSED, 16);
    heldIcon = loadIcon(instance, IDI_HELD, 16);
}

void Win32Shell::destroyIcons() {
    if (largeIcon) DestroyIcon(largeIcon);
    if (smallIcon) DestroyIcon(smallIcon);
    if (pausedIcon) DestroyIcon(pausedIcon);
    if (heldIcon) DestroyIcon(heldIcon);
    largeIcon = smallIcon = pausedIcon = heldIcon = nullptr;
}

// The icon for the state: paused, else held (timed changes wait), else
// running. The tip says when changes wait.
HICON Win32Shell::trayIcon() const {
    return trayPaused ? pausedIcon : changesHeld ? heldIcon : smallIcon;
}

void Win32Shell::trayTip(char *tip, int32_t size) const {
    if (!changesHeld || resources.loadString(IDS_TRAY_HELD, tip, size) == 0)
        lstrcpynA(tip, "chromaweave", size);
}

bool Win32Shell::addTrayIcon(bool paused) {
    trayPaused = paused;
    NOTIFYICONDATAA data = trayEntry(mainWindow);
    data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    data.uCallbackMessage = kMsgTray;
    data.hIcon = trayIcon();
    trayTip(data.szTip, sizeof data.szTip);
    return Shell_NotifyIconA(NIM_ADD, &data) != FALSE;
}

void Win32Shell::updateTrayIcon(bool paused) {
    trayPaused = paused;
    NOTIFYICONDATAA data = trayEntry(mainWindow);
    data.uFlags = NIF_ICON;
    data.hIcon = trayIcon();
    Shell_NotifyIconA(NIM_MODIFY, &data);
}

void Win32Shell::showChangesHeld(bool held) {
    changesHeld = held;
    NOTIFYICONDATAA data = trayEntry(mainWindow);
    data.uFlags = NIF_ICON | NIF_TIP;
    data.hIcon = trayIcon();
    trayTip(data.szTip, sizeof data.szTip);
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
    insertAdvancedItem(resources, popup);
    const ShellState &state = cycle->state();
    MenuState items = menuStateFor(MenuInputs{
        state.currentPicture != nullptr, settings.UseSequentialNo, state.paused, state.stopped,
        settingsDialog != nullptr, saveAsDialog != nullptr});
    EnableMenuItem(popup, IDM_SAVE, MF_BYCOMMAND | enabledFlag(items.saveEnabled));
    EnableMenuItem(popup, IDM_SAVE_AS, MF_BYCOMMAND | enabledFlag(items.saveAsEnabled));
    EnableMenuItem(popup, IDM_CHANGE, MF_BYCOMMAND | enabledFlag(items.changeEnabled));
    EnableMenuItem(popup, IDM_STOP, MF_BYCOMMAND | enabledFlag(items.stopEnabled));
    CheckMenuItem(popup, IDM_STOP, MF_BYCOMMAND | (items.stopChecked ? MF_CHECKED : MF_UNCHECKED));
    // Held by the advanced dialog: no stop either, whose end would not end
    // the dialog's hold.
    if (advancedDialog) EnableMenuItem(popup, IDM_STOP, MF_BYCOMMAND | enabledFlag(false));
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

// The tray icon, the program's icons and the tray menu with the items the
// program inserts into it: back, the history with its thumbnails, the
// recipe commands and the screen-size save.
#include "app/win32/win32_shell.h"

#include <shellapi.h>

#include "app/menu_state.h"
#include "app/messages.h"
#include "app/resources/resource.h"

namespace {

const UINT kTrayIconId = 1;

// The inserted commands and the history's entries keep clear of menu 10's.
static_assert(IDM_BACK > IDM_EXIT && IDM_SAVE_SCREEN < IDM_HISTORY_FIRST,
              "inserted menu ids collide");
static_assert(IDM_HISTORY_FIRST + kHistoryCapacity <= 0xFFFF, "history ids beyond a command id");

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

// The menu's bitmaps: the thumbnails and one placeholder for those not
// drawn yet. A menu does not own its item bitmaps, so they are deleted after
// the menu is.
class MenuBitmaps {
public:
    MenuBitmaps() {}
    ~MenuBitmaps() {
        for (int32_t i = 0; i < count; ++i) DeleteObject(bitmaps[i]);
    }
    MenuBitmaps(const MenuBitmaps &) = delete;
    MenuBitmaps &operator=(const MenuBitmaps &) = delete;

    HBITMAP thumbnail(const tlThumbnail &thumbnail) { return make(&thumbnail); }
    HBITMAP placeholder() {
        if (!placeholderBitmap) placeholderBitmap = make(nullptr);
        return placeholderBitmap;
    }

private:
    // A top-down 32-bit picture, opaque: the thumbnail's pixels, or a gray
    // square with a darker frame.
    HBITMAP make(const tlThumbnail *thumbnail) {
        if (count == kMaxBitmaps) return nullptr;
        const int32_t side = tlThumbnail::kSide;
        BITMAPINFO info = {};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = side;
        info.bmiHeader.biHeight = -side;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        void *bits = nullptr;
        HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        if (!bitmap || !bits) return nullptr;
        uint8_t *pixel = static_cast<uint8_t *>(bits);
        for (int32_t y = 0; y < side; ++y)
            for (int32_t x = 0; x < side; ++x, pixel += 4) {
                if (thumbnail) {
                    const uint8_t *rgb = thumbnail->rgb + (y * side + x) * 3;
                    pixel[0] = rgb[2];
                    pixel[1] = rgb[1];
                    pixel[2] = rgb[0];
                } else {
                    bool frame = x == 0 || y == 0 || x == side - 1 || y == side - 1;
                    pixel[0] = pixel[1] = pixel[2] = frame ? 128 : 200;
                }
                pixel[3] = 255;
            }
        bitmaps[count++] = bitmap;
        return bitmap;
    }

    static const int32_t kMaxBitmaps = kHistoryCapacity + 1;
    HBITMAP bitmaps[kMaxBitmaps] = {};
    int32_t count = 0;
    HBITMAP placeholderBitmap = nullptr;
};

namespace {

// When a wallpaper was shown, in the local time: "2024-06-11 14:03:27".
void formatShownTime(uint64_t seconds, char *out, size_t size) {
    const uint64_t kUnixEpoch = 116444736000000000ull;  // 1970 in FILETIME ticks
    const uint64_t kLastSecond = (0x7FFFFFFFFFFFFFFFull - kUnixEpoch) / 10000000ull;
    lstrcpynA(out, "?", int(size));
    if (seconds > kLastSecond) return;
    uint64_t ticks = seconds * 10000000ull + kUnixEpoch;
    FILETIME utc = {DWORD(ticks), DWORD(ticks >> 32)}, local;
    SYSTEMTIME t;
    if (!FileTimeToLocalFileTime(&utc, &local) || !FileTimeToSystemTime(&local, &t)) return;
    char text[64];
    wsprintfA(text, "%04u-%02u-%02u %02u:%02u:%02u", t.wYear, t.wMonth, t.wDay, t.wHour,
              t.wMinute, t.wSecond);
    lstrcpynA(out, text, int(size));
}

// The position just below the item with that id; the end when it is missing.
UINT positionBelow(HMENU menu, UINT id) {
    int32_t count = GetMenuItemCount(menu);
    for (int32_t i = 0; i < count; ++i)
        if (GetMenuItemID(menu, i) == id) return UINT(i + 1);
    return count > 0 ? UINT(count) : 0;
}

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

// The history submenu: newest first, each entry its thumbnail (or the
// placeholder until the worker drew it) and the time it was shown, the one
// shown now in bold. Item data is the entry's serial.
HMENU Win32Shell::historyMenu(MenuBitmaps &bitmaps) {
    HMENU menu = CreatePopupMenu();
    historyMenuCount = 0;
    if (!menu) return nullptr;
    const ShellState &state = cycle->state();
    for (int32_t i = 0; i < state.history.count(); ++i) {
        const HistoryEntry &entry = state.history.entry(i);
        char text[64];
        formatShownTime(entry.time, text, sizeof text);
        MENUITEMINFOA item = {};
        item.cbSize = sizeof item;
        item.fMask = MIIM_ID | MIIM_STRING | MIIM_BITMAP | MIIM_DATA | MIIM_STATE;
        item.wID = IDM_HISTORY_FIRST + UINT(i);
        item.dwTypeData = text;
        item.dwItemData = entry.serial;
        item.hbmpItem = entry.thumbnail.made ? bitmaps.thumbnail(entry.thumbnail) : bitmaps.placeholder();
        item.fState = entry.serial == state.currentSerial ? MFS_DEFAULT : 0;
        if (!InsertMenuItemA(menu, UINT(i), TRUE, &item)) break;
        historyMenuSerials[historyMenuCount++] = entry.serial;
    }
    return menu;
}

// Below "change wallpaper" (menu 10 itself stays as it is): a separator,
// back, the history, copy and paste of recipes, the screen-size save. Their
// texts are strings of the interface language.
void Win32Shell::insertRecipeItems(HMENU popup, const MenuState &items, MenuBitmaps &bitmaps) {
    struct Inserted {
        UINT id;  // 0: a separator
        uint32_t text;
        bool enabled;
    } inserted[] = {
        {0, 0, true},
        {IDM_BACK, IDS_MENU_BACK, items.backEnabled},
        {IDM_HISTORY, IDS_MENU_HISTORY, items.historyEnabled},
        {IDM_COPY_RECIPE, IDS_MENU_COPY_RECIPE, items.copyRecipeEnabled},
        {IDM_PASTE_RECIPE, IDS_MENU_PASTE_RECIPE, items.pasteEnabled},
        {IDM_SAVE_SCREEN, IDS_MENU_SAVE_SCREEN, items.saveScreenEnabled},
    };
    UINT at = positionBelow(popup, IDM_CHANGE);
    for (const Inserted &entry : inserted) {
        char text[128] = "";
        MENUITEMINFOA item = {};
        item.cbSize = sizeof item;
        if (entry.id == 0) {
            item.fMask = MIIM_FTYPE;
            item.fType = MFT_SEPARATOR;
        } else {
            resources.loadString(entry.text, text, sizeof text);
            item.fMask = MIIM_ID | MIIM_STRING | MIIM_STATE;
            item.wID = entry.id;
            item.dwTypeData = text;
            item.fState = entry.enabled ? MFS_ENABLED : MFS_GRAYED;
        }
        if (entry.id == IDM_HISTORY) {
            item.fMask |= MIIM_SUBMENU;
            item.hSubMenu = historyMenu(bitmaps);
        }
        // A submenu that could not be attached is not destroyed with the menu.
        if (!InsertMenuItemA(popup, at++, TRUE, &item) && item.hSubMenu) DestroyMenu(item.hSubMenu);
    }
}

void Win32Shell::showTrayMenu() {
    HMENU menu = resources.loadMenu(IDM_TRAY);
    if (!menu) return;
    HMENU popup = GetSubMenu(menu, 0);
    const ShellState &state = cycle->state();
    MenuState items = menuStateFor(MenuInputs{
        state.currentPicture != nullptr, settings.UseSequentialNo, state.paused, state.stopped,
        settingsDialog != nullptr, saveAsDialog != nullptr, state.currentRecipe[0] != '\0',
        cycle->canGoBack(), state.history.count() > 0});
    EnableMenuItem(popup, IDM_SAVE, MF_BYCOMMAND | enabledFlag(items.saveEnabled));
    EnableMenuItem(popup, IDM_SAVE_AS, MF_BYCOMMAND | enabledFlag(items.saveAsEnabled));
    EnableMenuItem(popup, IDM_CHANGE, MF_BYCOMMAND | enabledFlag(items.changeEnabled));
    EnableMenuItem(popup, IDM_STOP, MF_BYCOMMAND | enabledFlag(items.stopEnabled));
    CheckMenuItem(popup, IDM_STOP, MF_BYCOMMAND | (items.stopChecked ? MF_CHECKED : MF_UNCHECKED));
    // Declared before the menu is destroyed: deleted after it.
    MenuBitmaps bitmaps;
    insertRecipeItems(popup, items, bitmaps);
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

void Win32Shell::chooseHistoryItem(uint32_t id) {
    uint32_t index = id - IDM_HISTORY_FIRST;
    if (index < uint32_t(historyMenuCount)) cycle->chooseHistoryEntry(historyMenuSerials[index]);
}

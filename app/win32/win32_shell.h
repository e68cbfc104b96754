// The Windows side of the tray program: one record holding the windows,
// dialogs and icons of the main thread, and the ShellUi the wallpaper cycle
// drives. Every window procedure finds this record through its window.
#pragma once

#include <windows.h>

#include <cstdint>

#include "app/cycle.h"
#include "app/menu_state.h"
#include "app/settings.h"
#include "app/settings_form.h"
#include "app/shell_ui.h"
#include "platform/resources_win32.h"
#include "platform/shell_win32.h"

class MenuBitmaps;  // the tray menu's bitmaps (tray.cpp)

// ---- Small shell calls shared by the windows (windows_common.cpp).

// The program's menus, dialogs and strings in the language of its interface,
// which follows the ANSI code page: the one place that decides it.
platform::Win32Resources interfaceResources(HINSTANCE instance);

// A message box with the text of string textId; caption string captionId,
// or string 320 when captionId is 0. Without icon bits in style the box
// shows the program's icon. Returns the button pressed.
int32_t showMessage(const platform::Win32Resources &resources, HWND owner, uint32_t textId,
                    uint32_t captionId, uint32_t style);
// The user's documents folder into 260 bytes; empty when unknown.
void getDocumentsFolder(char *path);

// The shell's windows and the cycle's user interface.
class Win32Shell : public ShellUi {
public:
    Win32Shell(const platform::Win32Resources &resources, Settings &settings,
               DesktopAccess desktop)
        : instance(resources.module), resources(resources), settings(settings), desktop(desktop) {}

    // ShellUi
    int32_t showMessage(MessageOwner owner, uint32_t textId, uint32_t style) override;
    bool addTrayIcon(bool paused) override;
    void updateTrayIcon(bool paused) override;
    bool isDialogOpen(ShellDialog dialog) override;
    void bringToFront(ShellDialog dialog) override;
    void openDialog(ShellDialog dialog) override;
    void closeDialog(ShellDialog dialog) override;
    bool askSaveFileName(const char *initialFolder, bool askOverWrite, char *path) override;
    bool writeClipboardText(const char *text) override;
    ClipboardText readClipboardText(char *out, uint32_t size) override;
    bool screenSize(int32_t *width, int32_t *height) override;
    void showCount(uint32_t count) override;
    void destroyMainWindow() override;

    // Main window (main_window.cpp).
    bool registerMainClass();
    bool createMainWindow();
    // Offers a message to the open modeless dialogs; true when one took it.
    bool dialogMessage(MSG *message);

    // Tray icon and menu (tray.cpp).
    void loadIcons();
    void destroyIcons();
    void removeTrayIcon();
    void showTrayMenu();
    void setWindowIcons(HWND window);
    // A history entry of the last menu was chosen (its command id).
    void chooseHistoryItem(uint32_t id);
    void insertRecipeItems(HMENU popup, const MenuState &items, MenuBitmaps &bitmaps);
    HMENU historyMenu(MenuBitmaps &bitmaps);

    // Dialogs (about_dialog.cpp, settings_dialog.cpp).
    void createAboutDialog();
    void createSettingsDialog();

    HINSTANCE instance;
    // Every menu, dialog and text the user sees comes from here.
    platform::Win32Resources resources;
    Settings &settings;
    DesktopAccess desktop;
    WallpaperCycle *cycle = nullptr;  // set once the cycle exists
    // Told the main window in its WM_CREATE, before any timer or worker.
    platform::Win32ShellPlatform *platform = nullptr;
    platform::Win32Worker *worker = nullptr;

    HWND mainWindow = nullptr;
    UINT taskbarCreated = 0;  // the registered "TaskbarCreated" message
    HWND settingsDialog = nullptr;
    HWND aboutDialog = nullptr;
    HWND saveAsDialog = nullptr;
    HICON largeIcon = nullptr;   // icon 1, 32 x 32
    HICON smallIcon = nullptr;   // icon 1, 16 x 16: running
    HICON pausedIcon = nullptr;  // icon 2, 16 x 16: paused
    HFONT linkFont = nullptr;    // the About dialog's underlined font
    WNDPROC linkProcedure = nullptr;  // the link control's own procedure
    // The history entries the last menu listed, by position: a change while
    // the menu was open must not turn a choice into another wallpaper.
    uint32_t historyMenuSerials[kHistoryCapacity] = {};
    int32_t historyMenuCount = 0;
};

// centerOnWorkArea: the window centred on the work area, halves truncated.
void centerOnWorkArea(HWND window);

extern const char kMainWindowClass[];  // "chromaweave main window"

// The hidden main window: its class, its creation and a procedure that only
// dispatches to the cycle and the tray.
#include "app/win32/win32_shell.h"

#include "app/messages.h"
#include "app/resources/resource.h"

const char kMainWindowClass[] = "chromaweave main window";

namespace {

Win32Shell *shellOf(HWND window) {
    return reinterpret_cast<Win32Shell *>(GetWindowLongPtrA(window, GWLP_USERDATA));
}

// WM_CREATE: the window is known to the timers and the worker before any
// of them is used; the icons and the tray icon appear.
void onCreate(Win32Shell &shell, HWND window) {
    shell.mainWindow = window;
    if (shell.platform) shell.platform->setWindow(window);
    if (shell.worker) shell.worker->setWindow(window);
    shell.loadIcons();
    if (shell.cycle)
        shell.cycle->addTrayIcon();
    else
        shell.addTrayIcon(false);
}

void onTray(Win32Shell &shell, LPARAM mouseMessage) {
    if (!shell.cycle) return;
    if (mouseMessage == WM_LBUTTONDOWN)
        shell.cycle->onTrayLeftClick();
    else if (mouseMessage == WM_RBUTTONDOWN)
        shell.showTrayMenu();
}

// Menu commands; the history's entries are told apart by the last menu.
void onCommand(Win32Shell &shell, uint32_t id) {
    if (!shell.cycle) return;
    if (id >= IDM_HISTORY_FIRST && id < IDM_HISTORY_FIRST + uint32_t(kHistoryCapacity))
        shell.chooseHistoryItem(id);
    else
        shell.cycle->onCommand(id);
}

// WM_DESTROY: the tray icon goes first, then the icons, the dialogs and the
// timers; the loop ends.
void onDestroy(Win32Shell &shell) {
    shell.removeTrayIcon();
    shell.destroyIcons();
    if (shell.settingsDialog) DestroyWindow(shell.settingsDialog);
    if (shell.aboutDialog) DestroyWindow(shell.aboutDialog);
    if (shell.saveAsDialog) SendMessageA(shell.saveAsDialog, WM_CLOSE, 0, 0);
    if (shell.cycle) shell.cycle->onMainWindowDestroyed();
    shell.mainWindow = nullptr;
    PostQuitMessage(0);
}

LRESULT CALLBACK mainWindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        const CREATESTRUCTA *create = reinterpret_cast<const CREATESTRUCTA *>(lParam);
        SetWindowLongPtrA(window, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    Win32Shell *shell = shellOf(window);
    if (!shell) return DefWindowProcA(window, message, wParam, lParam);
    WallpaperCycle *cycle = shell->cycle;
    // A restarted taskbar announces itself to every top-level window.
    if (message == shell->taskbarCreated && message != 0) {
        if (cycle) cycle->onTaskbarCreated();
        return 0;
    }
    switch (message) {
    case WM_CREATE: onCreate(*shell, window); return 0;
    case WM_TIMER: if (cycle) cycle->onTimer(uint32_t(wParam)); return 0;
    case kMsgJobDone: if (cycle) cycle->onJobDone(uint32_t(wParam)); return 0;
    case kMsgSaveFailed: if (cycle) cycle->onSaveFailed(); return 0;
    case kMsgTray: onTray(*shell, lParam); return 0;
    case WM_COMMAND: onCommand(*shell, LOWORD(wParam)); return 0;
    case WM_DESTROY: onDestroy(*shell); return 0;
    // The session may end: nothing keeps it from ending.
    case WM_QUERYENDSESSION: return TRUE;
    // It ends: the process can be ended any moment after this message, so
    // the shut-down steps run now.
    case WM_ENDSESSION: if (wParam && cycle) cycle->endSession(); return 0;
    default: return DefWindowProcA(window, message, wParam, lParam);
    }
}

}  // namespace

bool Win32Shell::registerMainClass() {
    taskbarCreated = RegisterWindowMessageA("TaskbarCreated");
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = mainWindowProcedure;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = kMainWindowClass;
    return RegisterClassA(&windowClass) != 0;
}

bool Win32Shell::createMainWindow() {
    // A pop-up of size 0 that is never shown: it only receives the timers,
    // the tray callbacks, the worker's notices and the menu commands.
    HWND window = CreateWindowExA(0, kMainWindowClass, "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                                  instance, this);
    return window != nullptr;
}

bool Win32Shell::dialogMessage(MSG *message) {
    if (settingsDialog && IsDialogMessageA(settingsDialog, message)) return true;
    return aboutDialog && IsDialogMessageA(aboutDialog, message);
}

// ---- ShellUi

int32_t Win32Shell::showMessage(MessageOwner owner, uint32_t textId, uint32_t style) {
    HWND window = owner == MessageOwner::mainWindow ? mainWindow : nullptr;
    return ::showMessage(resources, window, textId, 0, style);
}

bool Win32Shell::isDialogOpen(ShellDialog dialog) {
    switch (dialog) {
    case ShellDialog::settings: return settingsDialog != nullptr;
    case ShellDialog::saveAs: return saveAsDialog != nullptr;
    case ShellDialog::about: return aboutDialog != nullptr;
    }
    return false;
}

void Win32Shell::bringToFront(ShellDialog dialog) {
    HWND window = dialog == ShellDialog::settings ? settingsDialog
                  : dialog == ShellDialog::saveAs ? saveAsDialog
                                                  : aboutDialog;
    if (window) SetForegroundWindow(window);
}

void Win32Shell::openDialog(ShellDialog dialog) {
    if (dialog == ShellDialog::settings)
        createSettingsDialog();
    else if (dialog == ShellDialog::about)
        createAboutDialog();
}

void Win32Shell::closeDialog(ShellDialog dialog) {
    // WM_CLOSE would turn into a posted Cancel of the settings dialog, which
    // would resume the cycle later, inside whatever loop runs then.
    if (dialog == ShellDialog::settings) {
        if (settingsDialog) DestroyWindow(settingsDialog);
        return;
    }
    HWND window = dialog == ShellDialog::saveAs ? saveAsDialog : aboutDialog;
    if (window) SendMessageA(window, WM_CLOSE, 0, 0);
}

void Win32Shell::showCount(uint32_t count) {
    if (aboutDialog) SetDlgItemInt(aboutDialog, IDC_COUNT, count, FALSE);
}

void Win32Shell::destroyMainWindow() {
    if (mainWindow) DestroyWindow(mainWindow);
}

// The About dialog: version, the home-page link (underlined, blue, hand
// cursor) and the live wallpaper count.
#include "app/win32/win32_shell.h"

#include <shellapi.h>

#include "app/resources/resource.h"

namespace {

const char kHomePage[] = "https://kelpworks.example.jp/chromaweave/";

Win32Shell *shellOf(HWND dialog) {
    return reinterpret_cast<Win32Shell *>(GetWindowLongPtrA(dialog, DWLP_USER));
}

// The link control's procedure: the hand cursor over it, the rest as before.
LRESULT CALLBACK linkProcedure(HWND link, UINT message, WPARAM wParam, LPARAM lParam) {
    Win32Shell *shell = shellOf(GetParent(link));
    if (message == WM_SETCURSOR) {
        SetCursor(LoadCursorA(nullptr, IDC_HAND));
        return 0;
    }
    if (!shell || !shell->linkProcedure) return DefWindowProcA(link, message, wParam, lParam);
    return CallWindowProcA(shell->linkProcedure, link, message, wParam, lParam);
}

// The dialog's font with an underline for the link; subclassing the link.
BOOL onInitDialog(Win32Shell &shell, HWND dialog) {
    HWND link = GetDlgItem(dialog, IDC_HOME_PAGE);
    HFONT font = reinterpret_cast<HFONT>(SendMessageA(dialog, WM_GETFONT, 0, 0));
    LOGFONTA description;
    if (font && GetObjectA(font, sizeof description, &description)) {
        description.lfUnderline = TRUE;
        shell.linkFont = CreateFontIndirectA(&description);
        SendMessageA(link, WM_SETFONT, reinterpret_cast<WPARAM>(shell.linkFont), FALSE);
    }
    // Subclassing through the pointer-sized slot: a 32-bit window-long would
    // cut the procedure's address on 64-bit Windows.
    shell.linkProcedure = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(link, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(linkProcedure)));
    SetDlgItemInt(dialog, IDC_COUNT, shell.settings.Count, FALSE);
    shell.setWindowIcons(dialog);
    centerOnWorkArea(dialog);
    return TRUE;
}

INT_PTR onColourStatic(HDC context, HWND control) {
    if (GetDlgCtrlID(control) != IDC_HOME_PAGE) return 0;
    SetTextColor(context, RGB(0, 0, 255));
    SetBkMode(context, TRANSPARENT);
    return reinterpret_cast<INT_PTR>(GetStockObject(NULL_BRUSH));
}

// The link gets its own procedure back before it is destroyed.
void restoreLink(Win32Shell &shell, HWND dialog) {
    if (!shell.linkProcedure) return;
    SetWindowLongPtrA(GetDlgItem(dialog, IDC_HOME_PAGE), GWLP_WNDPROC,
                      reinterpret_cast<LONG_PTR>(shell.linkProcedure));
    shell.linkProcedure = nullptr;
}

void onCommand(Win32Shell &shell, HWND dialog, WORD id, WORD code) {
    if (id == IDOK || id == IDCANCEL) {
        restoreLink(shell, dialog);
        DestroyWindow(dialog);
    } else if (id == IDC_HOME_PAGE && code == STN_CLICKED) {
        ShellExecuteA(nullptr, "open", kHomePage, nullptr, nullptr, SW_SHOWNORMAL);
    }
}

// Also reached when the main window's destruction takes the dialog along.
void onDestroy(Win32Shell &shell, HWND dialog) {
    restoreLink(shell, dialog);
    if (shell.linkFont) DeleteObject(shell.linkFont);
    shell.linkFont = nullptr;
    shell.aboutDialog = nullptr;
}

INT_PTR CALLBACK aboutProcedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) SetWindowLongPtrA(dialog, DWLP_USER, lParam);
    Win32Shell *shell = shellOf(dialog);
    if (!shell) return FALSE;
    switch (message) {
    case WM_INITDIALOG: return onInitDialog(*shell, dialog);
    case WM_CTLCOLORSTATIC:
        return onColourStatic(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
    case WM_COMMAND: onCommand(*shell, dialog, LOWORD(wParam), HIWORD(wParam)); return TRUE;
    case WM_DESTROY: onDestroy(*shell, dialog); return TRUE;
    default: return FALSE;
    }
}

}  // namespace

void Win32Shell::createAboutDialog() {
    aboutDialog =
        resources.createDialog(IDD_ABOUT, nullptr, aboutProcedure, reinterpret_cast<LPARAM>(this));
    // The template is not visible by itself: show it once it is set up.
    if (aboutDialog) ShowWindow(aboutDialog, SW_SHOW);
}

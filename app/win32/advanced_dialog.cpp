// The advanced settings dialog: hotkeys, starting with Windows, holding
// timed changes, the style; OK (checks, hotkeys, the Run value, storing,
// applying) and Cancel.
#include "app/win32/win32_shell.h"

#include <commctrl.h>

#include "app/resources/resource.h"
#include "app/start_with_windows.h"

namespace {

Win32Shell *shellOf(HWND dialog) { return reinterpret_cast<Win32Shell *>(GetWindowLongPtrA(dialog, DWLP_USER)); }

LRESULT sendItem(HWND dialog, int32_t id, UINT message, WPARAM wParam, LPARAM lParam) {
    return SendDlgItemMessageA(dialog, id, message, wParam, lParam);
}

bool isChecked(HWND dialog, int32_t id) { return IsDlgButtonChecked(dialog, id) == BST_CHECKED; }

void check(HWND dialog, int32_t id, bool on) { CheckDlgButton(dialog, id, on ? BST_CHECKED : BST_UNCHECKED); }

// The line under the hotkeys shows while one of those in use could not be
// registered (at the start, by another program holding it).
void showRefusedHotkeys(const Win32Shell &shell, HWND dialog) {
    bool refused = shell.cycle->state().hotkeysRefused != 0;
    ShowWindow(GetDlgItem(dialog, IDC_HOTKEY_TAKEN), refused ? SW_SHOW : SW_HIDE);
}

void fillHotkeys(const Settings &settings, HWND dialog) {
    for (int32_t i = 0; i < kHotkeyCount; ++i) {
        // A key alone or with Shift alone would be taken from every program:
        // the control adds Ctrl+Alt to it.
        sendItem(dialog, IDC_HOTKEY_CHANGE + i, HKM_SETRULES, HKCOMB_NONE | HKCOMB_S,
                 MAKELPARAM(HOTKEYF_CONTROL | HOTKEYF_ALT, 0));
        sendItem(dialog, IDC_HOTKEY_CHANGE + i, HKM_SETHOTKEY, settings.Hotkeys[i], 0);
    }
}

void fillStyle(const platform::Win32Resources &resources, const tlComposeStyle &style, HWND dialog) {
    // String 369 holds the level names separated by NULs.
    char names[64];
    ZeroMemory(names, sizeof names);
    int32_t length = resources.loadString(IDS_COMPLEXITY_NAMES, names, sizeof names);
    for (int32_t i = 0; i < length; i += lstrlenA(names + i) + 1)
        sendItem(dialog, IDC_COMPLEXITY, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(names + i));
    sendItem(dialog, IDC_COMPLEXITY, CB_SETCURSEL, WPARAM(style.complexity), 0);
    for (int32_t family = 0; family < tlFamilyCount; ++family)
        check(dialog, IDC_FAMILY_FIRST + family, style.allows(family));
}

BOOL onInitDialog(Win32Shell &shell, HWND dialog) {
    const Settings &settings = shell.settings;
    fillHotkeys(settings, dialog);
    showRefusedHotkeys(shell, dialog);
    check(dialog, IDC_START_WITH_WINDOWS, settings.StartWithWindows);
    check(dialog, IDC_HOLD_FULL_SCREEN, settings.HoldFullScreen);
    check(dialog, IDC_HOLD_ON_BATTERY, settings.HoldOnBattery);
    fillStyle(shell.resources, settings.Style, dialog);
    shell.setWindowIcons(dialog);
    centerOnWorkArea(dialog);
    return TRUE;
}

AdvancedForm readForm(HWND dialog) {
    AdvancedForm form;
    for (int32_t i = 0; i < kHotkeyCount; ++i)
        form.hotkeys[i] = uint32_t(sendItem(dialog, IDC_HOTKEY_CHANGE + i, HKM_GETHOTKEY, 0, 0) & 0xFFFF);
    form.startWithWindows = isChecked(dialog, IDC_START_WITH_WINDOWS);
    form.holdFullScreen = isChecked(dialog, IDC_HOLD_FULL_SCREEN);
    form.holdOnBattery = isChecked(dialog, IDC_HOLD_ON_BATTERY);
    form.style.complexity = int32_t(sendItem(dialog, IDC_COMPLEXITY, CB_GETCURSEL, 0, 0));
    form.style.excluded = 0;
    for (int32_t family = 0; family < tlFamilyCount; ++family)
        if (!isChecked(dialog, IDC_FAMILY_FIRST + family)) form.style.excluded |= 1u << family;
    return form;
}

// The Run value follows the switch; nothing is touched while it stays off.
bool applyRunValue(Win32Shell &shell, bool on) {
    if (!on && !shell.settings.StartWithWindows) return true;
    char path[MAX_PATH];
    if (on && !programPath(path)) return false;
    return applyStartWithWindows(shell.desktop.registry, on, on ? path : "", platform::isAnsiLeadByte);
}

// The checks, then the two things the system may refuse, each undone when
// a later one is refused: the hotkeys, the Run value. Only then is anything
// stored.
void onOk(Win32Shell &shell, HWND dialog) {
    AdvancedForm form = readForm(dialog);
    DialogPrompter prompter(shell.resources, dialog);
    FormMessage failure = checkAdvancedForm(form);
    if (failure.textId) {
        prompter.report(failure);
        return;
    }
    int32_t refused = shell.cycle->changeHotkeys(form.hotkeys);
    if (refused >= 0) {
        prompter.report(hotkeyTakenMessage(refused));
        return;
    }
    if (!applyRunValue(shell, form.startWithWindows)) {
        shell.cycle->changeHotkeys(shell.settings.Hotkeys);
        prompter.report(runValueFailedMessage());
        return;
    }
    AdvancedChanges changes = shell.cycle->storeAdvanced(form);
    DestroyWindow(dialog);
    shell.cycle->advancedConfirmed(changes);
}

void onCancel(Win32Shell &shell, HWND dialog) {
    DestroyWindow(dialog);
    shell.cycle->advancedCancelled();
}

INT_PTR CALLBACK advancedProcedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) SetWindowLongPtrA(dialog, DWLP_USER, lParam);
    Win32Shell *shell = shellOf(dialog);
    if (!shell) return FALSE;
    switch (message) {
    case WM_INITDIALOG: return onInitDialog(*shell, dialog);
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK) onOk(*shell, dialog);
        if (LOWORD(wParam) == IDCANCEL) onCancel(*shell, dialog);
        return TRUE;
    case WM_DESTROY: shell->advancedDialog = nullptr; return TRUE;
    default: return FALSE;
    }
}

}  // namespace

void Win32Shell::createAdvancedDialog() {
    // The hotkey controls' class: registered here, where it is first needed.
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_HOTKEY_CLASS};
    InitCommonControlsEx(&controls);
    advancedDialog = resources.createDialog(IDD_ADVANCED, nullptr, advancedProcedure, reinterpret_cast<LPARAM>(this));
    // The template is not visible by itself: show it once it is set up.
    if (advancedDialog) ShowWindow(advancedDialog, SW_SHOW);
}

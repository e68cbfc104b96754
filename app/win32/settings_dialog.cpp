// The settings dialog: filling the controls, their enabling rules, browsing
// for the folder, and OK (checks, storing, applying) and Cancel.
#include "app/win32/win32_shell.h"

#include <commctrl.h>
#include <shlobj.h>

#include "app/resources/resource.h"
#include "platform/folders_win32.h"

namespace {

Win32Shell *shellOf(HWND dialog) {
    return reinterpret_cast<Win32Shell *>(GetWindowLongPtrA(dialog, DWLP_USER));
}

bool isChecked(HWND dialog, int32_t id) { return IsDlgButtonChecked(dialog, id) == BST_CHECKED; }

void enable(HWND dialog, int32_t id, bool enabled) {
    EnableWindow(GetDlgItem(dialog, id), enabled ? TRUE : FALSE);
}

// The preset list for a preset size, the width and height fields for a
// custom one.
void enableSizeControls(HWND dialog, bool custom) {
    enable(dialog, IDC_PRESET_LIST, !custom);
    for (int32_t id = IDC_WIDTH_LABEL; id <= IDC_HEIGHT_SPIN; ++id) enable(dialog, id, custom);
}

LRESULT sendItem(HWND dialog, int32_t id, UINT message, WPARAM wParam, LPARAM lParam) {
    return SendDlgItemMessageA(dialog, id, message, wParam, lParam);
}

void fillSizeControls(const Settings &settings, HWND dialog) {
    CheckRadioButton(dialog, IDC_PRESET_SIZE, IDC_CUSTOM_SIZE,
                     settings.UseCustomSize ? IDC_CUSTOM_SIZE : IDC_PRESET_SIZE);
    enableSizeControls(dialog, settings.UseCustomSize);
    for (int32_t i = 0; i < kPresetCount; ++i) {
        char text[32];
        wsprintfA(text, "%d x %d", kPresetSizes[i].width, kPresetSizes[i].height);
        sendItem(dialog, IDC_PRESET_LIST, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
    }
    sendItem(dialog, IDC_PRESET_LIST, CB_SETCURSEL, settings.PresetIndex, 0);
    SetDlgItemInt(dialog, IDC_WIDTH, settings.CustomWidth, TRUE);
    SetDlgItemInt(dialog, IDC_HEIGHT, settings.CustomHeight, TRUE);
    sendItem(dialog, IDC_WIDTH_SPIN, UDM_SETRANGE, 0, MAKELPARAM(32767, 0));
    sendItem(dialog, IDC_HEIGHT_SPIN, UDM_SETRANGE, 0, MAKELPARAM(32767, 0));
}

void fillIntervalControls(const platform::Win32Resources &resources, const Settings &settings,
                          HWND dialog) {
    SetDlgItemInt(dialog, IDC_INTERVAL, intervalInUnits(settings.Interval, settings.IntervalUnit),
                  FALSE);
    sendItem(dialog, IDC_INTERVAL_SPIN, UDM_SETRANGE, 0, MAKELPARAM(32767, 1));
    // String 300 holds the unit names separated by NULs.
    char names[64];
    ZeroMemory(names, sizeof names);
    int32_t length = resources.loadString(IDS_UNIT_NAMES, names, sizeof names);
    for (int32_t i = 0; i < length; i += lstrlenA(names + i) + 1)
        sendItem(dialog, IDC_INTERVAL_UNIT, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(names + i));
    sendItem(dialog, IDC_INTERVAL_UNIT, CB_SETCURSEL, settings.IntervalUnit, 0);
}

BOOL onInitDialog(Win32Shell &shell, HWND dialog) {
    Settings &settings = shell.settings;
    fillSizeControls(settings, dialog);
    fillIntervalControls(shell.resources, settings, dialog);
    sendItem(dialog, IDC_FOLDER, EM_LIMITTEXT, kPathBytes - 1, 0);
    SetDlgItemTextA(dialog, IDC_FOLDER, settings.WallpaperDir);
    CheckDlgButton(dialog, IDC_SEQUENTIAL, settings.UseSequentialNo ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(dialog, IDC_RESTORE, settings.RestoreWallpaper ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(dialog, IDC_DELETE_FILE, settings.DeleteFile ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(dialog, IDC_ASK_OVERWRITE, settings.AskOverWrite ? BST_CHECKED : BST_UNCHECKED);
    enable(dialog, IDC_DELETE_FILE, settings.RestoreWallpaper);
    // While Active Desktop is enabled it is always used: the switch is off
    // and cannot be changed.
    if (isActiveDesktopOn(shell.desktop)) {
        settings.NoActiveDesktop = false;
        CheckDlgButton(dialog, IDC_NO_ACTIVE_DESKTOP, BST_UNCHECKED);
        enable(dialog, IDC_NO_ACTIVE_DESKTOP, false);
    } else {
        CheckDlgButton(dialog, IDC_NO_ACTIVE_DESKTOP,
                       settings.NoActiveDesktop ? BST_CHECKED : BST_UNCHECKED);
    }
    shell.setWindowIcons(dialog);
    centerOnWorkArea(dialog);
    return TRUE;
}

// ---- Browsing for the folder

int CALLBACK browseCallback(HWND picker, UINT message, LPARAM, LPARAM data) {
    const char *current = reinterpret_cast<const char *>(data);
    if (message == BFFM_INITIALIZED && current && current[0]) {
        // The picker opens at the current folder; it does not take a
        // trailing backslash except on a drive root.
        char start[kPathBytes];
        withoutTrailingBackslash(current, start, platform::isAnsiLeadByte);
        SendMessageA(picker, BFFM_SETSELECTIONA, TRUE, reinterpret_cast<LPARAM>(start));
    }
    return 0;
}

void browseForFolder(Win32Shell &shell, HWND dialog) {
    char folder[kPathBytes] = "";
    GetDlgItemTextA(dialog, IDC_FOLDER, folder, sizeof folder);
    if (!folder[0]) getDocumentsFolder(folder);
    // Room for the title in UTF-8 too, where a Japanese character takes
    // three bytes (in Shift-JIS it fits 64).
    char title[256] = "";
    shell.resources.loadString(IDS_BROWSE_TITLE, title, sizeof title);
    BROWSEINFOA browse = {};
    browse.hwndOwner = dialog;
    browse.pszDisplayName = folder;
    browse.lpszTitle = title;
    browse.ulFlags = BIF_RETURNONLYFSDIRS;
    browse.lpfn = browseCallback;
    browse.lParam = reinterpret_cast<LPARAM>(folder);
    LPITEMIDLIST chosen = SHBrowseForFolderA(&browse);
    if (!chosen) return;
    BOOL found = SHGetPathFromIDListA(chosen, folder);
    CoTaskMemFree(chosen);
    if (found) SetDlgItemTextA(dialog, IDC_FOLDER, folder);
}

// ---- OK and Cancel

// Message boxes of the checks, owned by the dialog.
class DialogPrompter : public FormPrompter {
public:
    DialogPrompter(const platform::Win32Resources &resources, HWND dialog)
        : resources(resources), dialog(dialog) {}
    int32_t show(const FormMessage &message) override {
        return ::showMessage(resources, dialog, message.textId, message.captionId, message.style);
    }
    void focusAndSelect(int32_t control) override {
        SetFocus(GetDlgItem(dialog, control));
        sendItem(dialog, control, EM_SETSEL, 0, -1);
    }

private:
    const platform::Win32Resources &resources;
    HWND dialog;
};

// The controls' values; folder receives the folder text (260 bytes).
SettingsForm readForm(HWND dialog, char *folder) {
    SettingsForm form;
    form.useCustom = isChecked(dialog, IDC_CUSTOM_SIZE);
    form.presetIndex = int32_t(sendItem(dialog, IDC_PRESET_LIST, CB_GETCURSEL, 0, 0));
    // No success flag: text that is no number reads as 0.
    form.width = int32_t(GetDlgItemInt(dialog, IDC_WIDTH, nullptr, TRUE));
    form.height = int32_t(GetDlgItemInt(dialog, IDC_HEIGHT, nullptr, TRUE));
    form.intervalCount = GetDlgItemInt(dialog, IDC_INTERVAL, nullptr, FALSE);
    form.unit = int32_t(sendItem(dialog, IDC_INTERVAL_UNIT, CB_GETCURSEL, 0, 0));
    folder[0] = '\0';
    GetDlgItemTextA(dialog, IDC_FOLDER, folder, kPathBytes);
    form.folder = folder;
    form.useSequentialNo = isChecked(dialog, IDC_SEQUENTIAL);
    form.restoreWallpaper = isChecked(dialog, IDC_RESTORE);
    form.deleteFile = isChecked(dialog, IDC_DELETE_FILE);
    form.askOverWrite = isChecked(dialog, IDC_ASK_OVERWRITE);
    form.noActiveDesktop = isChecked(dialog, IDC_NO_ACTIVE_DESKTOP);
    return form;
}

void onOk(Win32Shell &shell, HWND dialog) {
    char folder[kPathBytes];
    SettingsForm form = readForm(dialog, folder);
    platform::Win32Folders folders;
    DialogPrompter prompter(shell.resources, dialog);
    if (!validateSettingsForm(form, folders, prompter, platform::isAnsiLeadByte)) return;
    FormChanges changes = shell.cycle->storeSettings(form);
    DestroyWindow(dialog);
    shell.cycle->settingsConfirmed(changes.sizeChanged, changes.intervalChanged);
}

void onCancel(Win32Shell &shell, HWND dialog) {
    DestroyWindow(dialog);
    shell.cycle->settingsCancelled();
}

void onCommand(Win32Shell &shell, HWND dialog, WORD id) {
    switch (id) {
    case IDC_PRESET_SIZE:
    case IDC_CUSTOM_SIZE: enableSizeControls(dialog, isChecked(dialog, IDC_CUSTOM_SIZE)); break;
    case IDC_SEQUENTIAL: enable(dialog, IDC_DELETE_FILE, !isChecked(dialog, IDC_SEQUENTIAL)); break;
    case IDC_RESTORE: enable(dialog, IDC_DELETE_FILE, isChecked(dialog, IDC_RESTORE)); break;
    case IDC_BROWSE: browseForFolder(shell, dialog); break;
    case IDOK: onOk(shell, dialog); break;
    case IDCANCEL: onCancel(shell, dialog); break;
    default: break;
    }
}

INT_PTR CALLBACK settingsProcedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) SetWindowLongPtrA(dialog, DWLP_USER, lParam);
    Win32Shell *shell = shellOf(dialog);
    if (!shell) return FALSE;
    switch (message) {
    case WM_INITDIALOG: return onInitDialog(*shell, dialog);
    case WM_COMMAND: onCommand(*shell, dialog, LOWORD(wParam)); return TRUE;
    case WM_DESTROY: shell->settingsDialog = nullptr; return TRUE;
    default: return FALSE;
    }
}

}  // namespace

void Win32Shell::createSettingsDialog() {
    settingsDialog = resources.createDialog(IDD_SETTINGS, nullptr, settingsProcedure,
                                            reinterpret_cast<LPARAM>(this));
    // The template is not visible by itself: show it once it is set up.
    if (settingsDialog) ShowWindow(settingsDialog, SW_SHOW);
}

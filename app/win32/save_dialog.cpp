// The save-as dialog of the save-wallpaper-as command and its hook.
#include "app/win32/win32_shell.h"

#include <commdlg.h>

#include "app/resources/resource.h"

namespace {

// The hook sits in a child of the real dialog: the dialog is its parent.
UINT_PTR CALLBACK saveHook(HWND hook, UINT message, WPARAM, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        const OPENFILENAMEA *request = reinterpret_cast<const OPENFILENAMEA *>(lParam);
        Win32Shell *shell = reinterpret_cast<Win32Shell *>(request->lCustData);
        SetWindowLongPtrA(hook, DWLP_USER, reinterpret_cast<LONG_PTR>(shell));
        shell->saveAsDialog = GetParent(hook);
        shell->setWindowIcons(shell->saveAsDialog);
        centerOnWorkArea(shell->saveAsDialog);
        return TRUE;
    }
    if (message == WM_DESTROY) {
        Win32Shell *shell = reinterpret_cast<Win32Shell *>(GetWindowLongPtrA(hook, DWLP_USER));
        if (shell) shell->saveAsDialog = nullptr;
    }
    return 0;
}

// The current structure size on Windows 2000 and later (and ME); the older
// one otherwise. The header's sizes fit this platform's layout.
DWORD saveRequestSize() {
    OSVERSIONINFOA version = {};
    version.dwOSVersionInfoSize = sizeof version;
    if (GetVersionExA(&version) && (version.dwMajorVersion >= 5 || version.dwMinorVersion == 90))
        return sizeof(OPENFILENAMEA);
    return OPENFILENAME_SIZE_VERSION_400A;
}

}  // namespace

bool Win32Shell::askSaveFileName(const char *initialFolder, bool askOverWrite, char *path) {
    // The filter holds NUL-separated pairs; the zeroed buffer ends it twice.
    char filter[256];
    ZeroMemory(filter, sizeof filter);
    resources.loadString(IDS_SAVE_FILTER, filter, sizeof filter);
    path[0] = '\0';
    OPENFILENAMEA request;
    ZeroMemory(&request, sizeof request);
    request.lStructSize = saveRequestSize();
    request.lpstrFilter = filter;
    request.nFilterIndex = 1;
    request.lpstrFile = path;
    request.nMaxFile = MAX_PATH;
    request.lpstrInitialDir = initialFolder;
    request.lpstrDefExt = "bmp";
    request.Flags = OFN_EXPLORER | OFN_ENABLESIZING | OFN_ENABLEHOOK | OFN_HIDEREADONLY;
    if (askOverWrite) request.Flags |= OFN_OVERWRITEPROMPT;
    request.lpfnHook = saveHook;
    request.lCustData = reinterpret_cast<LPARAM>(this);
    return GetSaveFileNameA(&request) != 0;
}

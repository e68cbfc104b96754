// Shell calls shared by the program's windows: message boxes from the string
// table, centring and the documents folder.
#include "app/win32/win32_shell.h"

#include <shlobj.h>

#include "app/resources/resource.h"
#include "app/ui_language.h"

platform::Win32Resources interfaceResources(HINSTANCE instance) {
    UiLanguage language = uiLanguageFor(GetACP(), GetUserDefaultUILanguage());
    return platform::Win32Resources(instance, resourceLanguageOf(language));
}

int32_t showMessage(const platform::Win32Resources &resources, HWND owner, uint32_t textId,
                    uint32_t captionId, uint32_t style) {
    char text[512] = "";
    char caption[64] = "";
    resources.loadString(textId, text, sizeof text);
    resources.loadString(captionId ? captionId : IDS_ERROR_CAPTION, caption, sizeof caption);
    MSGBOXPARAMSA box = {};
    box.cbSize = sizeof box;
    box.hwndOwner = owner;
    box.hInstance = resources.module;
    box.lpszText = text;
    box.lpszCaption = caption;
    box.dwStyle = style;
    // A box without a system icon shows the program's own.
    if ((style & MB_ICONMASK) == 0) {
        box.dwStyle |= MB_USERICON;
        box.lpszIcon = MAKEINTRESOURCEA(IDI_PROGRAM);
    }
    box.dwLanguageId = MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT);  // the user's default language
    return MessageBoxIndirectA(&box);
}

void centerOnWorkArea(HWND window) {
    RECT work, rect;
    if (!SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0) || !GetWindowRect(window, &rect))
        return;
    int32_t x = work.left + ((work.right - work.left) - (rect.right - rect.left)) / 2;
    int32_t y = work.top + ((work.bottom - work.top) - (rect.bottom - rect.top)) / 2;
    SetWindowPos(window, nullptr, x, y, 0, 0, SWP_NOZORDER | SWP_NOSIZE);
}

void getDocumentsFolder(char *path) {
    path[0] = '\0';
    LPITEMIDLIST list = nullptr;
    if (SHGetSpecialFolderLocation(nullptr, CSIDL_PERSONAL, &list) != S_OK || !list) return;
    if (!SHGetPathFromIDListA(list, path)) path[0] = '\0';
    CoTaskMemFree(list);
    // Some shells (Wine's) answer with a trailing backslash; the wallpaper
    // folder is built by appending "\chromaweave" to this.
    withoutTrailingBackslash(path, path, platform::isAnsiLeadByte);
}

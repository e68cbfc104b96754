// Menus, dialogs and strings of one chosen language. Asked without one
// (LoadStringA, LoadMenuA, CreateDialogParamA), Windows and Wine take the
// resource of the thread's user interface language, which need not be the
// language the program speaks: these calls name the language every time.
#pragma once

#include <windows.h>

#include <cstdint>

namespace platform {

class Win32Resources {
public:
    Win32Resources(HINSTANCE module, uint16_t language) : module(module), language(language) {}

    // The bytes of resource (type, id) in the language; null when absent.
    const void *find(LPCSTR type, uint32_t id, uint32_t *size) const;
    // String id in the ANSI code page into out, size bytes with the
    // terminating NUL. NULs inside the string are kept; a string that does
    // not fit is cut after a whole character. Returns the bytes before the
    // terminator, 0 when there is no such string.
    int32_t loadString(uint32_t id, char *out, int32_t size) const;
    // The menu (DestroyMenu is the caller's); null when absent.
    HMENU loadMenu(uint32_t id) const;
    // A modeless dialog from the template (CreateDialogIndirectParamA); null
    // when absent or when it could not be created.
    HWND createDialog(uint32_t id, HWND owner, DLGPROC procedure, LPARAM param) const;

    HINSTANCE module;
    uint16_t language;  // LANGID
};

}  // namespace platform

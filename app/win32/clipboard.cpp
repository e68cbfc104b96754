// The clipboard's text (CF_TEXT, in the ANSI code page; Windows converts
// from and to the Unicode text other programs put there) and the screen's
// size, for the recipe and screen-size commands.
#include "app/win32/win32_shell.h"

#include <cstring>

bool Win32Shell::writeClipboardText(const char *text) {
    size_t length = std::strlen(text) + 1;
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, length);
    if (!memory) return false;
    void *bytes = GlobalLock(memory);
    if (!bytes) {
        GlobalFree(memory);
        return false;
    }
    std::memcpy(bytes, text, length);
    GlobalUnlock(memory);
    bool given = false;
    if (OpenClipboard(mainWindow)) {
        given = EmptyClipboard() && SetClipboardData(CF_TEXT, memory) != nullptr;
        CloseClipboard();
    }
    // The clipboard owns the memory only once SetClipboardData took it.
    if (!given) GlobalFree(memory);
    return given;
}

ClipboardText Win32Shell::readClipboardText(char *out, uint32_t size) {
    if (size == 0 || !OpenClipboard(mainWindow)) return ClipboardText::none;
    ClipboardText result = ClipboardText::none;
    HANDLE data = GetClipboardData(CF_TEXT);
    const char *text = data ? static_cast<const char *>(GlobalLock(data)) : nullptr;
    if (text) {
        // The text ends at its NUL or, should another program have left
        // none, at the end of its memory.
        size_t length = strnlen(text, GlobalSize(data));
        if (length + 1 > size) {
            result = ClipboardText::tooLong;
        } else {
            std::memcpy(out, text, length);
            out[length] = '\0';
            result = ClipboardText::text;
        }
        GlobalUnlock(data);
    }
    CloseClipboard();
    return result;
}

bool Win32Shell::screenSize(int32_t *width, int32_t *height) {
    *width = GetSystemMetrics(SM_CXSCREEN);
    *height = GetSystemMetrics(SM_CYSCREEN);
    return *width > 0 && *height > 0;
}

// Global hotkeys through RegisterHotKey.
#include "platform/hotkeys_win32.h"

#include <windows.h>

namespace platform {

HotkeyResult Win32Hotkeys::registerHotkey(uint32_t id, uint32_t modifiers, uint32_t key) {
    // MOD_NOREPEAT: a held combination is one press, not a change (or a
    // stop and a resume) every auto-repeat.
    if (RegisterHotKey(static_cast<HWND>(window), int(id), modifiers | MOD_NOREPEAT, key))
        return HotkeyResult::kRegistered;
    return GetLastError() == ERROR_HOTKEY_ALREADY_REGISTERED ? HotkeyResult::kTaken : HotkeyResult::kFailed;
}

void Win32Hotkeys::unregisterHotkey(uint32_t id) { UnregisterHotKey(static_cast<HWND>(window), int(id)); }

}  // namespace platform

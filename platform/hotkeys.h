// Global hotkeys: key combinations the system reports to the main window
// (WM_HOTKEY with the combination's id) whichever program has the focus.
#pragma once

#include <cstdint>

namespace platform {

// Modifier bits as RegisterHotKey takes them (MOD_ALT, MOD_CONTROL,
// MOD_SHIFT; the Windows layer holds them equal to the SDK's).
const uint32_t kModifierAlt = 0x1;
const uint32_t kModifierControl = 0x2;
const uint32_t kModifierShift = 0x4;

enum class HotkeyResult {
    kRegistered,
    kTaken,  // another program (or this one, under another id) holds it
    kFailed  // any other refusal
};

class Hotkeys {
public:
    virtual ~Hotkeys() {}
    // Registers the combination (modifier bits above, virtual-key code)
    // under id for the main window. Holding the keys down does not repeat it.
    virtual HotkeyResult registerHotkey(uint32_t id, uint32_t modifiers, uint32_t key) = 0;
    virtual void unregisterHotkey(uint32_t id) = 0;
};

}  // namespace platform

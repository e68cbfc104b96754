// Global hotkeys on Windows: RegisterHotKey on the main window. The window
// handle is passed as void * so that this header needs no Windows headers.
#pragma once

#include "platform/hotkeys.h"

namespace platform {

// Every hotkey belongs to one window, set once it exists.
class Win32Hotkeys : public Hotkeys {
public:
    void setWindow(void *window) { this->window = window; }
    HotkeyResult registerHotkey(uint32_t id, uint32_t modifiers, uint32_t key) override;
    void unregisterHotkey(uint32_t id) override;

private:
    void *window = nullptr;
};

}  // namespace platform

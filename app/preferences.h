// The advanced settings: global hotkeys, starting with Windows, holding
// timed changes while the user is busy, and the composer's style. Their
// registry values and repairs, the stored hotkey format, and the advanced
// settings dialog's checks and storing.
#pragma once

#include <cstdint>

#include "app/settings.h"
#include "app/settings_form.h"
#include "compose/style.h"

// ---- Hotkeys

// The actions a hotkey can start, in the order of Settings::Hotkeys; a
// hotkey's id with the system is its action + 1.
enum HotkeyAction : int32_t { kHotkeyChange = 0, kHotkeyBack = 1, kHotkeyStop = 2 };
const int32_t kHotkeyCount = 3;
// "HotkeyChange", "HotkeyBack", "HotkeyStop".
extern const char *const kHotkeyValueNames[kHotkeyCount];

// A stored hotkey is the word of a hotkey control (HKM_GETHOTKEY): the
// virtual-key code in the low byte and the control's modifier flags
// (HOTKEYF_*) in the next one. 0 is no hotkey.
const uint8_t kHotkeyFlagShift = 0x01;
const uint8_t kHotkeyFlagControl = 0x02;
const uint8_t kHotkeyFlagAlt = 0x04;
const uint8_t kHotkeyFlagExtended = 0x08;  // the key is an extended one; not a modifier
inline uint8_t hotkeyKey(uint32_t stored) { return uint8_t(stored & 0xFF); }
inline uint8_t hotkeyFlags(uint32_t stored) { return uint8_t(stored >> 8 & 0xFF); }

// RegisterHotKey's modifier bits (platform/hotkeys.h) for a hotkey
// control's flags. The two sets differ: the control has Shift 1, Ctrl 2,
// Alt 4, where RegisterHotKey has Alt 1, Ctrl 2, Shift 4; the control's
// extended-key flag has no counterpart.
uint32_t registerModifiers(uint8_t controlFlags);

// A hotkey that may be registered: a key (1-254), no flags the control does
// not know, and Ctrl or Alt held, so that no key typed alone or with Shift
// is taken from every other program.
bool isValidHotkey(uint32_t stored);

// ---- Style

bool isValidComplexity(uint32_t stored);
// Known families only, at least one of those that paint the first layer.
bool isValidExclusion(uint32_t stored);

// ---- Registry values

// The advanced values of the open settings key: each read value that is
// out of range is repaired to its default (a missing one keeps the field).
void loadPreferences(RegSettings &key, Settings &settings);
// Writes the values that differ from their defaults and removes the others.
void savePreferences(RegSettings &key, const Settings &settings);

// ---- The advanced settings dialog

// What OK reads from the dialog.
struct AdvancedForm {
    uint32_t hotkeys[kHotkeyCount];  // stored format, 0 for an empty control
    bool startWithWindows;
    bool holdFullScreen;
    bool holdOnBattery;
    tlComposeStyle style;  // complexity list and family check boxes
};

// The form holding the settings' values: the dialog's first state.
AdvancedForm advancedFormOf(const Settings &settings);

// The checks that need no system, in order: every hotkey valid (focus on
// the first one that is not), no hotkey given to two actions (focus on the
// second), a style that can paint a first layer.
FormMessage checkAdvancedForm(const AdvancedForm &form);
// The message when hotkey `action` is held by another program (focus on
// its control), and when the Run value could not be written or removed.
FormMessage hotkeyTakenMessage(int32_t action);
FormMessage runValueFailedMessage();

struct AdvancedChanges {
    bool styleChanged;  // the picture rendered in advance is of the old style
    bool holdChanged;   // either hold switch changed
};
AdvancedChanges storeAdvanced(const AdvancedForm &form, Settings &settings);

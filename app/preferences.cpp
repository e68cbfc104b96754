// The advanced settings: hotkey format, repairs, registry values, the
// dialog's checks and storing.
#include "app/preferences.h"

#include "app/resources/resource.h"
#include "platform/hotkeys.h"

const char *const kHotkeyValueNames[kHotkeyCount] = {"HotkeyChange", "HotkeyBack", "HotkeyStop"};

namespace {

const uint8_t kKnownFlags = kHotkeyFlagShift | kHotkeyFlagControl | kHotkeyFlagAlt | kHotkeyFlagExtended;

bool sameStyle(const tlComposeStyle &a, const tlComposeStyle &b) {
    return a.complexity == b.complexity && a.excluded == b.excluded;
}

void readFlag(RegSettings &key, const char *name, bool *field) {
    uint32_t value;
    if (key.readInt(name, &value)) *field = value != 0;
}

// A value at its default is not kept in the key.
void writeOrRemove(RegSettings &key, const char *name, uint32_t value, uint32_t defaultValue) {
    if (value == defaultValue)
        key.removeValue(name);
    else
        key.writeInt(name, value);
}

}  // namespace

// ---- Hotkeys

uint32_t registerModifiers(uint8_t controlFlags) {
    uint32_t modifiers = 0;
    if (controlFlags & kHotkeyFlagShift) modifiers |= platform::kModifierShift;
    if (controlFlags & kHotkeyFlagControl) modifiers |= platform::kModifierControl;
    if (controlFlags & kHotkeyFlagAlt) modifiers |= platform::kModifierAlt;
    return modifiers;
}

bool isValidHotkey(uint32_t stored) {
    uint8_t key = hotkeyKey(stored), flags = hotkeyFlags(stored);
    return stored <= 0xFFFF && key != 0 && key != 0xFF && (flags & ~kKnownFlags) == 0 &&
           (flags & (kHotkeyFlagControl | kHotkeyFlagAlt)) != 0;
}

// ---- Style

bool isValidComplexity(uint32_t stored) { return stored <= uint32_t(tlComplexityRich); }

bool isValidExclusion(uint32_t stored) {
    tlComposeStyle style;
    style.excluded = stored;
    return style.isValid();
}

// ---- Registry values

void loadPreferences(RegSettings &key, Settings &settings) {
    const Settings defaults;
    uint32_t value;
    for (int32_t i = 0; i < kHotkeyCount; ++i) {
        if (key.readInt(kHotkeyValueNames[i], &value))
            settings.Hotkeys[i] = isValidHotkey(value) ? value : defaults.Hotkeys[i];
    }
    readFlag(key, "StartWithWindows", &settings.StartWithWindows);
    readFlag(key, "HoldFullScreen", &settings.HoldFullScreen);
    readFlag(key, "HoldOnBattery", &settings.HoldOnBattery);
    if (key.readInt("Complexity", &value))
        settings.Style.complexity = isValidComplexity(value) ? int32_t(value) : defaults.Style.complexity;
    if (key.readInt("ExcludedFamilies", &value))
        settings.Style.excluded = isValidExclusion(value) ? value : defaults.Style.excluded;
}

void savePreferences(RegSettings &key, const Settings &settings) {
    const Settings defaults;
    for (int32_t i = 0; i < kHotkeyCount; ++i)
        writeOrRemove(key, kHotkeyValueNames[i], settings.Hotkeys[i], defaults.Hotkeys[i]);
    writeOrRemove(key, "StartWithWindows", settings.StartWithWindows, defaults.StartWithWindows);
    writeOrRemove(key, "HoldFullScreen", settings.HoldFullScreen, defaults.HoldFullScreen);
    writeOrRemove(key, "HoldOnBattery", settings.HoldOnBattery, defaults.HoldOnBattery);
    writeOrRemove(key, "Complexity", uint32_t(settings.Style.complexity), uint32_t(defaults.Style.complexity));
    writeOrRemove(key, "ExcludedFamilies", settings.Style.excluded, defaults.Style.excluded);
}

// ---- The advanced settings dialog

AdvancedForm advancedFormOf(const Settings &settings) {
    AdvancedForm form;
    for (int32_t i = 0; i < kHotkeyCount; ++i) form.hotkeys[i] = settings.Hotkeys[i];
    form.startWithWindows = settings.StartWithWindows;
    form.holdFullScreen = settings.HoldFullScreen;
    form.holdOnBattery = settings.HoldOnBattery;
    form.style = settings.Style;
    return form;
}

FormMessage checkAdvancedForm(const AdvancedForm &form) {
    for (int32_t i = 0; i < kHotkeyCount; ++i) {
        if (form.hotkeys[i] != 0 && !isValidHotkey(form.hotkeys[i]))
            return FormMessage{IDS_HOTKEY_INVALID, 0, kBoxExclamation, IDC_HOTKEY_CHANGE + i};
    }
    for (int32_t i = 1; i < kHotkeyCount; ++i) {
        for (int32_t k = 0; k < i; ++k) {
            if (form.hotkeys[i] != 0 && form.hotkeys[i] == form.hotkeys[k])
                return FormMessage{IDS_HOTKEY_TWICE, 0, kBoxExclamation, IDC_HOTKEY_CHANGE + i};
        }
    }
    if (!form.style.isValid()) return FormMessage{IDS_BAD_STYLE, 0, kBoxExclamation, 0};
    return FormMessage{0, 0, 0, 0};
}

FormMessage hotkeyTakenMessage(int32_t action) {
    return FormMessage{IDS_HOTKEY_TAKEN, 0, kBoxExclamation, IDC_HOTKEY_CHANGE + action};
}

FormMessage runValueFailedMessage() { return FormMessage{IDS_RUN_NOT_WRITTEN, 0, kBoxExclamation, 0}; }

AdvancedChanges storeAdvanced(const AdvancedForm &form, Settings &settings) {
    AdvancedChanges changes;
    changes.styleChanged = !sameStyle(form.style, settings.Style);
    changes.holdChanged = form.holdFullScreen != settings.HoldFullScreen ||
                          form.holdOnBattery != settings.HoldOnBattery;
    for (int32_t i = 0; i < kHotkeyCount; ++i) settings.Hotkeys[i] = form.hotkeys[i];
    settings.StartWithWindows = form.startWithWindows;
    settings.HoldFullScreen = form.holdFullScreen;
    settings.HoldOnBattery = form.holdOnBattery;
    settings.Style = form.style;
    return changes;
}

// The advanced settings: the hotkey format and its modifiers, repairs and
// the registry values, the dialog's checks, and the Run value that starts
// chromaweave with Windows.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "app/preferences.h"
#include "app/resources/resource.h"
#include "app/start_with_windows.h"
#include "platform/hotkeys.h"
#include "platform/memory_registry.h"

namespace {

const uint32_t shift = kHotkeyFlagShift, control = kHotkeyFlagControl, alt = kHotkeyFlagAlt,
               extended = kHotkeyFlagExtended;
const uint32_t modShift = platform::kModifierShift, modControl = platform::kModifierControl,
               modAlt = platform::kModifierAlt;

uint32_t hotkey(uint32_t flags, uint32_t key) { return flags << 8 | key; }

TEST(Preferences, HotkeyControlFlagsToRegisterModifiers) {
    struct Case {
        uint8_t flags;
        uint32_t modifiers;
    } cases[] = {
        {0, 0},
        {uint8_t(shift), modShift},
        {uint8_t(control), modControl},
        {uint8_t(alt), modAlt},
        {uint8_t(shift | alt), modShift | modAlt},
        {uint8_t(control | alt), modControl | modAlt},
        {uint8_t(shift | control | alt), modShift | modControl | modAlt},
        {uint8_t(extended), 0},
        {uint8_t(extended | shift), modShift},
        {0xF0, 0},  // bits the control never sets
    };
    for (const Case &c : cases) EXPECT_EQ(registerModifiers(c.flags), c.modifiers) << int(c.flags);
}

TEST(Preferences, UsableHotkeys) {
    struct Case {
        uint32_t stored;
        bool valid;
    } cases[] = {
        {hotkey(control | alt, 'N'), true},
        {hotkey(control, 0x70), true},         // Ctrl+F1
        {hotkey(alt | extended, 0x25), true},  // Alt+Left, an extended key
        {hotkey(shift | control | alt, 'Z'), true},
        {0, false},
        {'N', false},  // a plain key would be taken from every program
        {hotkey(shift, 'N'), false},
        {hotkey(control | alt, 0), false},
        {hotkey(control | alt, 0xFF), false},
        {hotkey(control | 0x10, 'N'), false},  // an unknown flag
        {hotkey(control, 'N') | 0x10000, false},
    };
    for (const Case &c : cases) EXPECT_EQ(isValidHotkey(c.stored), c.valid) << std::hex << c.stored;
}

// Out-of-range values are repaired to their defaults, good ones are taken,
// missing ones leave the defaults.
TEST(Preferences, LoadRepairsTheNewValues) {
    const char *key = kSettingsKeyPath;
    struct Case {
        const char *name;
        uint32_t stored;
    } cases[] = {
        {"HotkeyChange", hotkey(control | alt, 'N')},
        {"HotkeyBack", 'B'},
        {"HotkeyStop", hotkey(control | alt, 0)},
        {"StartWithWindows", 7},
        {"HoldFullScreen", 0},
        {"HoldOnBattery", 1},
        {"Complexity", 3},
        {"ExcludedFamilies", 1u << 10},
    };
    platform::MemoryRegistry registry;
    for (const Case &c : cases) registry.putDword(key, c.name, c.stored);
    Settings s;
    s.HoldFullScreen = true;
    ASSERT_TRUE(loadSettings(registry, s));
    EXPECT_EQ(s.Hotkeys[kHotkeyChange], hotkey(control | alt, 'N'));
    EXPECT_EQ(s.Hotkeys[kHotkeyBack], 0u);
    EXPECT_EQ(s.Hotkeys[kHotkeyStop], 0u);
    EXPECT_TRUE(s.StartWithWindows);
    EXPECT_FALSE(s.HoldFullScreen);
    EXPECT_TRUE(s.HoldOnBattery);
    EXPECT_EQ(s.Style.complexity, tlComplexityRich);
    EXPECT_EQ(s.Style.excluded, 0u);
    // A style without a family for the first layer is refused whole.
    const uint32_t firstLayer = 1u << tlFamilyGradients | 1u << tlFamilyCheckers | 1u << tlFamilyClouds;
    struct Exclusion {
        uint32_t stored, loaded;
    } exclusions[] = {
        {firstLayer, 0},
        {firstLayer & ~(1u << tlFamilyClouds), firstLayer & ~(1u << tlFamilyClouds)},
        {1u << tlFamilyTiles | 1u << tlFamilyNoise, 1u << tlFamilyTiles | 1u << tlFamilyNoise},
    };
    for (const Exclusion &e : exclusions) {
        registry.putDword(key, "ExcludedFamilies", e.stored);
        registry.putDword(key, "Complexity", 1);
        Settings t;
        loadSettings(registry, t);
        EXPECT_EQ(t.Style.excluded, e.loaded) << e.stored;
        EXPECT_EQ(t.Style.complexity, tlComplexityNormal);
    }
}

// At their defaults the new values are not in the key (it holds exactly the
// 15 values); set, they are written and come back; set back, they go.
TEST(Preferences, SavedOnlyWhileNotAtTheirDefaults) {
    const char *names[] = {"HotkeyChange",   "HotkeyBack",    "HotkeyStop", "StartWithWindows",
                           "HoldFullScreen", "HoldOnBattery", "Complexity", "ExcludedFamilies"};
    platform::MemoryRegistry registry;
    Settings s;
    ASSERT_TRUE(saveSettings(registry, s));
    for (const char *name : names) EXPECT_FALSE(registry.findValue(kSettingsKeyPath, name)) << name;
    for (uint32_t &h : s.Hotkeys) h = hotkey(control | alt, 'A' + uint32_t(&h - s.Hotkeys));
    s.StartWithWindows = s.HoldFullScreen = s.HoldOnBattery = true;
    s.Style.complexity = tlComplexitySimple;
    s.Style.excluded = 1u << tlFamilyEdges;
    ASSERT_TRUE(saveSettings(registry, s));
    for (const char *name : names) EXPECT_TRUE(registry.findValue(kSettingsKeyPath, name)) << name;
    Settings back;
    ASSERT_TRUE(loadSettings(registry, back));
    for (int32_t i = 0; i < kHotkeyCount; ++i) EXPECT_EQ(back.Hotkeys[i], s.Hotkeys[i]);
    EXPECT_TRUE(back.StartWithWindows && back.HoldFullScreen && back.HoldOnBattery);
    EXPECT_EQ(back.Style.complexity, tlComplexitySimple);
    EXPECT_EQ(back.Style.excluded, 1u << tlFamilyEdges);
    ASSERT_TRUE(saveSettings(registry, Settings()));
    for (const char *name : names) EXPECT_FALSE(registry.findValue(kSettingsKeyPath, name)) << name;
    EXPECT_EQ(registry.openKeys(), 0);
}

TEST(Preferences, DialogChecksInOrder) {
    AdvancedForm good = advancedFormOf(Settings());
    good.hotkeys[kHotkeyChange] = hotkey(control | alt, 'N');
    good.hotkeys[kHotkeyStop] = hotkey(control | alt, 'P');
    struct Case {
        int32_t change;
        uint32_t hotkeys[3];
        uint32_t excluded;
        uint32_t text;
        int32_t focus;
    } cases[] = {
        {0, {0, 0, 0}, 0, 0, 0},
        {1, {hotkey(control | alt, 'N'), 'B', hotkey(control | alt, 'N')}, 0, IDS_HOTKEY_INVALID, IDC_HOTKEY_BACK},
        {1, {hotkey(control | alt, 'N'), 0, hotkey(control | alt, 'N')}, 0, IDS_HOTKEY_TWICE, IDC_HOTKEY_STOP},
        {1, {0, hotkey(alt, 'X'), hotkey(alt, 'X')}, 0x7, IDS_HOTKEY_TWICE, IDC_HOTKEY_STOP},
        {0, {0, 0, 0}, 0x7, IDS_BAD_STYLE, 0},
        {0, {0, 0, 0}, 0x3, 0, 0},
    };
    for (const Case &c : cases) {
        AdvancedForm form = good;
        if (c.change)
            for (int32_t i = 0; i < kHotkeyCount; ++i) form.hotkeys[i] = c.hotkeys[i];
        form.style.excluded = c.excluded;
        FormMessage m = checkAdvancedForm(form);
        EXPECT_EQ(m.textId, c.text) << c.text;
        EXPECT_EQ(m.focusControl, c.focus) << c.text;
        if (m.textId) {
            EXPECT_EQ(m.style, kBoxExclamation);
        }
    }
    EXPECT_EQ(hotkeyTakenMessage(kHotkeyBack).focusControl, IDC_HOTKEY_BACK);
}

// ---- Starting with Windows

TEST(StartWithWindows, CommandForTheProgram) {
    char out[kRunCommandBytes];
    EXPECT_TRUE(runCommandFor("C:\\Program Files\\cw\\chromaweave.exe", out, sizeof out));
    EXPECT_STREQ(out, "\"C:\\Program Files\\cw\\chromaweave.exe\"");
    std::string longest = "C:\\" + std::string(252, 'x') + ".exe";  // 259 characters
    EXPECT_TRUE(runCommandFor(longest.c_str(), out, sizeof out));
    EXPECT_FALSE(runCommandFor((longest + "e").c_str(), out, sizeof out));
    EXPECT_STREQ(out, "");
    for (const char *bad : {"", "C:\\a?b\\chromaweave.exe", "C:\\\"x\\chromaweave.exe"})
        EXPECT_FALSE(runCommandFor(bad, out, sizeof out)) << bad;
}

// Which commands start chromaweave: tests/purge checks both programs' rule
// on one table.

std::string runValue(platform::MemoryRegistry &registry) {
    const platform::MemoryRegistry::Value *v = registry.findValue(kRunKeyPath, kRunValueName);
    return v ? std::string(v->data.begin(), v->data.end()) : "(none)";
}

TEST(StartWithWindows, OnWritesOffRemovesOnlyOurs) {
    const char *program = "C:\\cw\\chromaweave.exe";
    platform::MemoryRegistry registry;
    EXPECT_TRUE(applyStartWithWindows(registry, false, program, shiftJisLeadByte));
    EXPECT_FALSE(registry.hasKey(kRunKeyPath));  // nothing created to remove nothing
    EXPECT_TRUE(applyStartWithWindows(registry, true, program, shiftJisLeadByte));
    EXPECT_EQ(runValue(registry), std::string("\"C:\\cw\\chromaweave.exe\"", 24));
    EXPECT_EQ(registry.findValue(kRunKeyPath, kRunValueName)->type, platform::RegistryType::string);
    // Moved: the value follows the program.
    EXPECT_TRUE(applyStartWithWindows(registry, true, "D:\\chromaweave.exe", shiftJisLeadByte));
    EXPECT_EQ(runValue(registry), std::string("\"D:\\chromaweave.exe\"", 21));
    EXPECT_TRUE(applyStartWithWindows(registry, false, program, shiftJisLeadByte));
    EXPECT_EQ(runValue(registry), "(none)");
    // Another program's value of that name stays.
    registry.putString(kRunKeyPath, kRunValueName, "C:\\other\\weaver.exe");
    EXPECT_TRUE(applyStartWithWindows(registry, false, program, shiftJisLeadByte));
    EXPECT_EQ(runValue(registry), std::string("C:\\other\\weaver.exe", 20));
    EXPECT_FALSE(applyStartWithWindows(registry, true, "C:\\a?\\chromaweave.exe", shiftJisLeadByte));
    registry.failOpen = true;
    EXPECT_FALSE(applyStartWithWindows(registry, true, program, shiftJisLeadByte));
    EXPECT_EQ(registry.openKeys(), 0);
}

}  // namespace

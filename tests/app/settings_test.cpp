// Settings record: defaults, tables, load repairs and the registry store.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "app/settings.h"
#include "platform/memory_registry.h"

namespace {

const char *key = kSettingsKeyPath;

TEST(SettingsTables, PresetForStoredSize) {
    struct Case { int32_t w, h, current, expected; } cases[] = {
        {32, 32, 4, 0},  {90, 90, 4, 3},   {100, 100, 0, 3}, {120, 64, 0, 4},
        {64, 200, 0, 7}, {256, 256, 0, 9}, {300, 300, 4, 4}, {257, 1, 2, 2},
        {-1, 0, 4, 0},   {0, 0, 9, 0},
    };
    for (const Case &c : cases)
        EXPECT_EQ(presetIndexForSize(c.w, c.h, c.current), c.expected) << c.w << "x" << c.h;
}

TEST(SettingsTables, RaisedToAtLeastOne) {
    struct Case { int32_t stored, expected; } cases[] = {
        {0, 1}, {1, 1}, {2, 2}, {-5, 1}, {INT32_MIN, 1}, {INT32_MAX, INT32_MAX},
    };
    for (const Case &c : cases) EXPECT_EQ(atLeastOne(c.stored), c.expected) << c.stored;
}

TEST(SettingsTables, IntervalInUnits) {
    struct Case { uint32_t interval; int32_t unit; uint32_t shown, stored; } cases[] = {
        {600000, 1, 10, 600000},   // the default: 10 minutes
        {90000, 1, 1, 60000},      // the remainder is dropped on the way back
        {90000, 0, 90, 90000},
        {36000000, 2, 10, 36000000},
        {59999, 1, 0, 0},
        {600000, 3, 0, 0},         // no such unit
    };
    for (const Case &c : cases) {
        uint32_t shown = intervalInUnits(c.interval, c.unit);
        EXPECT_EQ(shown, c.shown) << c.interval << " unit " << c.unit;
        EXPECT_EQ(unitsToInterval(shown, c.unit), c.stored);
    }
    // The product is 32-bit unsigned and wraps.
    EXPECT_EQ(unitsToInterval(32767, 2), uint32_t(32767ull * 3600000ull));
    EXPECT_EQ(unitsToInterval(60, 0), unitsToInterval(1, 1));
}

TEST(SettingsStore, NoKeyKeepsDefaultsAndReportsFirstRun) {
    platform::MemoryRegistry registry;
    Settings s;
    EXPECT_FALSE(loadSettings(registry, s));
    int32_t w, h;
    pictureSize(s, &w, &h);
    EXPECT_EQ(w, 120);
    EXPECT_EQ(h, 120);
    EXPECT_EQ(intervalInUnits(s.Interval, s.IntervalUnit), 10u);
    EXPECT_EQ(s.IntervalUnit, 1);
    EXPECT_TRUE(s.RestoreWallpaper);
    EXPECT_TRUE(s.AskOverWrite);
    EXPECT_FALSE(s.UseSequentialNo);
    EXPECT_FALSE(s.DeleteFile);
    EXPECT_EQ(s.Count, 0u);
}

TEST(SettingsStore, LoadRepairsStoredValues) {
    platform::MemoryRegistry registry;
    registry.putDword(key, "PresetWidth", 90);
    registry.putDword(key, "PresetHeight", 90);
    registry.putDword(key, "CustomWidth", 0);
    registry.putDword(key, "CustomHeight", uint32_t(-7));
    registry.putDword(key, "Interval", 0x80000000u);
    registry.putDword(key, "IntervalUnit", 3);
    registry.putDword(key, "UseCustomSize", 2);
    registry.putDword(key, "AskOverWrite", 0);
    Settings s;
    EXPECT_TRUE(loadSettings(registry, s));
    EXPECT_EQ(s.PresetIndex, 3);
    EXPECT_EQ(s.CustomWidth, 1);
    EXPECT_EQ(s.CustomHeight, 1);
    EXPECT_EQ(s.Interval, 1u);
    EXPECT_EQ(s.IntervalUnit, 1);
    EXPECT_TRUE(s.UseCustomSize);
    EXPECT_FALSE(s.AskOverWrite);
    EXPECT_EQ(registry.openKeys(), 0);
}

TEST(SettingsStore, PresetNeedsBothSizesAndACoveringRow) {
    platform::MemoryRegistry registry;
    registry.putDword(key, "PresetWidth", 64);
    Settings s;
    loadSettings(registry, s);
    EXPECT_EQ(s.PresetIndex, 4);
    registry.putDword(key, "PresetHeight", 300);
    loadSettings(registry, s);
    EXPECT_EQ(s.PresetIndex, 4);
    registry.putDword(key, "PresetHeight", 64);
    loadSettings(registry, s);
    EXPECT_EQ(s.PresetIndex, 1);
}

TEST(SettingsStore, SaveWritesEveryValueAndLoadsBack) {
    platform::MemoryRegistry registry;
    Settings s;
    std::strcpy(s.SaveDir, "C:\\saves");
    std::strcpy(s.WallpaperDir, "D:\\walls");
    s.Count = 8;
    s.PresetIndex = 2;
    s.CustomWidth = 0;  // kept as entered, raised only when loaded
    s.Interval = 90000;
    s.IntervalUnit = 0;
    s.UseSequentialNo = true;
    s.NoActiveDesktop = true;
    EXPECT_TRUE(saveSettings(registry, s));
    EXPECT_EQ(registry.openKeys(), 0);
    const platform::MemoryRegistry::Value *v = registry.findValue(key, "PresetWidth");
    ASSERT_TRUE(v);
    EXPECT_EQ(v->type, platform::RegistryType::dword);
    EXPECT_EQ(v->data, (std::vector<uint8_t>{80, 0, 0, 0}));
    v = registry.findValue(key, "WallpaperDir");
    ASSERT_TRUE(v);
    EXPECT_EQ(v->type, platform::RegistryType::string);
    EXPECT_EQ(std::string(v->data.begin(), v->data.end()), std::string("D:\\walls", 9));
    const char *names[] = {"SaveDir", "Count", "UseCustomSize", "PresetHeight", "CustomWidth",
                           "CustomHeight", "Interval", "IntervalUnit", "UseSequentialNo",
                           "RestoreWallpaper", "DeleteFile", "AskOverWrite", "NoActiveDesktop"};
    for (const char *name : names) EXPECT_TRUE(registry.findValue(key, name)) << name;

    Settings back;
    EXPECT_TRUE(loadSettings(registry, back));
    EXPECT_STREQ(back.SaveDir, "C:\\saves");
    EXPECT_STREQ(back.WallpaperDir, "D:\\walls");
    EXPECT_EQ(back.Count, 8u);
    EXPECT_EQ(back.PresetIndex, 2);
    EXPECT_EQ(back.CustomWidth, 1);
    EXPECT_EQ(back.Interval, 90000u);
    EXPECT_EQ(back.IntervalUnit, 0);
    EXPECT_TRUE(back.UseSequentialNo);
    EXPECT_TRUE(back.NoActiveDesktop);
}

TEST(SettingsStore, OpenFailures) {
    platform::MemoryRegistry registry;
    registry.failOpen = true;
    Settings s;
    EXPECT_FALSE(saveSettings(registry, s));
    EXPECT_FALSE(loadSettings(registry, s));
    EXPECT_FALSE(registry.hasKey(key));
}

TEST(RegSettings, StringsAreTerminatedAndOverlongOnesKeepThePreviousValue) {
    platform::MemoryRegistry registry;
    registry.putValue(key, "NoNul", platform::RegistryType::string, "abc", 3);
    std::string fits(259, 'x');
    registry.putString(key, "Fits", fits.c_str());
    std::string tooLong(260, 'y');
    registry.putString(key, "TooLong", tooLong.c_str());
    registry.putValue(key, "Full", platform::RegistryType::string, tooLong.data(), 260);
    registry.putValue(key, "Empty", platform::RegistryType::string, "", 0);

    RegSettings reg(registry);
    ASSERT_TRUE(reg.open(platform::RegistryRoot::currentUser, key, 1));
    char buffer[260];
    std::memset(buffer, '#', sizeof buffer);
    EXPECT_TRUE(reg.readString("NoNul", buffer, 260));
    EXPECT_STREQ(buffer, "abc");
    EXPECT_TRUE(reg.readString("Fits", buffer, 260));
    EXPECT_EQ(std::string(buffer), fits);
    std::strcpy(buffer, "previous");
    EXPECT_FALSE(reg.readString("TooLong", buffer, 260));
    EXPECT_STREQ(buffer, "previous");
    EXPECT_FALSE(reg.readString("Full", buffer, 260));  // no room for the NUL
    EXPECT_STREQ(buffer, "previous");
    EXPECT_FALSE(reg.readString("Missing", buffer, 260));
    EXPECT_STREQ(buffer, "previous");
    EXPECT_TRUE(reg.readString("Empty", buffer, 260));
    EXPECT_STREQ(buffer, "");
}

TEST(RegSettings, IntsReadUpToFourBytesOfAnyType) {
    platform::MemoryRegistry registry;
    registry.putDword(key, "Dword", 0x12345678);
    uint8_t two[2] = {0x34, 0x12};
    registry.putValue(key, "Short", platform::RegistryType::binary, two, 2);
    registry.putString(key, "Text", "12");  // bytes '1' '2' NUL
    uint8_t eight[8] = {1, 2, 3, 4, 5, 6, 7, 8};
    registry.putValue(key, "Long", platform::RegistryType::binary, eight, 8);

    RegSettings reg(registry);
    ASSERT_TRUE(reg.open(platform::RegistryRoot::currentUser, key, 1));
    uint32_t v = 99;
    EXPECT_TRUE(reg.readInt("Dword", &v));
    EXPECT_EQ(v, 0x12345678u);
    EXPECT_TRUE(reg.readInt("Short", &v));
    EXPECT_EQ(v, 0x1234u);
    EXPECT_TRUE(reg.readInt("Text", &v));
    EXPECT_EQ(v, 0x3231u);
    v = 99;
    EXPECT_FALSE(reg.readInt("Long", &v));
    EXPECT_FALSE(reg.readInt("Missing", &v));
    EXPECT_EQ(v, 99u);
    // A key opened for reading refuses writes.
    EXPECT_FALSE(reg.writeInt("Dword", 1));
    reg.close();
    EXPECT_EQ(registry.openKeys(), 0);
}

}  // namespace

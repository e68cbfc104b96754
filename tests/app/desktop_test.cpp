// Desktop wallpaper: the way chosen, the classic registry values and styles.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "app/desktop.h"
#include "fakes.h"

namespace {

std::string stored(platform::MemoryRegistry &r, const char *name) {
    const platform::MemoryRegistry::Value *v = r.findValue(kDesktopKeyPath, name);
    return v ? std::string(v->data.begin(), v->data.end()) : std::string("<none>");
}

struct DesktopRig {
    DesktopRig() { registry.createKey(kDesktopKeyPath); }
    fakes::Desktop desktop;
    platform::MemoryRegistry registry;
    DesktopAccess access() { return DesktopAccess{desktop, registry}; }
};

TEST(ClassicDesktop, StylesWriteTwoValues) {
    struct Case { int32_t style; const char *tile, *stretch; } cases[] = {
        {kWpStyleCenter, "0", "0"}, {kWpStyleTile, "1", "0"}, {kWpStyleStretch, "0", "2"},
        {7, "0", "0"}, {-1, "0", "0"},
    };
    for (const Case &c : cases) {
        DesktopRig rig;
        EXPECT_TRUE(setDesktopWallpaper(rig.access(), true, "C:\\w.bmp", c.style, false));
        EXPECT_EQ(stored(rig.registry, "TileWallPaper"), std::string(c.tile, 2));
        EXPECT_EQ(stored(rig.registry, "WallPaperStyle"), std::string(c.stretch, 2));
        ASSERT_EQ(rig.desktop.sets.size(), 1u);
        EXPECT_EQ(rig.desktop.sets[0].first, "C:\\w.bmp");
        EXPECT_FALSE(rig.desktop.sets[0].second);
        EXPECT_EQ(rig.registry.openKeys(), 0);
    }
}

TEST(ClassicDesktop, ReadStyleTileWins) {
    struct Case { const char *tile, *stretch; int32_t style; } cases[] = {
        {"1", "2", kWpStyleTile}, {"0", "2", kWpStyleStretch}, {"0", "0", kWpStyleCenter},
        {nullptr, "2", kWpStyleStretch}, {nullptr, nullptr, kWpStyleCenter},
        {"10000", "2", kWpStyleStretch},  // too long for the 4-byte read: unreadable
    };
    for (const Case &c : cases) {
        DesktopRig rig;
        if (c.tile) rig.registry.putString(kDesktopKeyPath, "TileWallPaper", c.tile);
        if (c.stretch) rig.registry.putString(kDesktopKeyPath, "WallpaperStyle", c.stretch);
        char path[260] = "";
        int32_t style = 9;
        EXPECT_TRUE(getDesktopWallpaper(rig.access(), true, path, &style));
        EXPECT_EQ(style, c.style);
        EXPECT_STREQ(path, "C:\\old.bmp");
    }
}

TEST(ClassicDesktop, Failures) {
    DesktopRig rig;
    rig.desktop.systemGetFails = true;
    char path[260] = "kept";
    int32_t style = 2;
    EXPECT_TRUE(getDesktopWallpaper(rig.access(), true, path, &style));
    EXPECT_STREQ(path, "");  // restoring it later removes the wallpaper

    platform::MemoryRegistry noKey;
    DesktopAccess access{rig.desktop, noKey};
    std::strcpy(path, "kept");
    EXPECT_FALSE(getDesktopWallpaper(access, true, path, &style));
    EXPECT_STREQ(path, "kept");
    EXPECT_EQ(style, 0);
    EXPECT_FALSE(setDesktopWallpaper(access, true, "C:\\w.bmp", 1, true));
    EXPECT_TRUE(rig.desktop.sets.empty());

    rig.desktop.systemSetFails = true;
    EXPECT_FALSE(setDesktopWallpaper(rig.access(), true, "C:\\w.bmp", 1, true));
}

TEST(ActiveDesktop, UsedWhenOnAndNotBypassed) {
    DesktopRig rig;
    rig.desktop.activeOn = true;
    rig.desktop.activeStyle = kWpStyleStretch;
    EXPECT_TRUE(isActiveDesktopOn(rig.access()));
    char path[260] = "";
    int32_t style = 0;
    EXPECT_TRUE(getDesktopWallpaper(rig.access(), false, path, &style));
    EXPECT_EQ(style, kWpStyleStretch);
    EXPECT_TRUE(setDesktopWallpaper(rig.access(), false, "C:\\a.bmp", kWpStyleTile, false));
    EXPECT_EQ(rig.desktop.activeStyle, kWpStyleTile);
    EXPECT_EQ(stored(rig.registry, "TileWallPaper"), "<none>");  // classic values untouched
}

TEST(ActiveDesktop, BypassedUsesTheClassicWay) {
    DesktopRig rig;
    rig.desktop.activeOn = true;
    EXPECT_TRUE(setDesktopWallpaper(rig.access(), true, "C:\\a.bmp", kWpStyleTile, true));
    EXPECT_EQ(stored(rig.registry, "TileWallPaper"), std::string("1", 2));
    EXPECT_TRUE(rig.desktop.sets[0].second);
    EXPECT_EQ(rig.desktop.activeStyle, 0);
}

TEST(ActiveDesktop, SetFailureIsFinal) {
    DesktopRig rig;
    rig.desktop.activeOn = true;
    rig.desktop.activeSetFails = true;
    EXPECT_FALSE(setDesktopWallpaper(rig.access(), false, "C:\\a.bmp", kWpStyleTile, false));
    EXPECT_TRUE(rig.desktop.sets.empty());
    EXPECT_EQ(stored(rig.registry, "TileWallPaper"), "<none>");
}

TEST(ActiveDesktop, OffFallsBackToClassic) {
    DesktopRig rig;
    EXPECT_FALSE(isActiveDesktopOn(rig.access()));
    EXPECT_TRUE(setDesktopWallpaper(rig.access(), false, "C:\\a.bmp", kWpStyleTile, false));
    EXPECT_EQ(stored(rig.registry, "TileWallPaper"), std::string("1", 2));
}

}  // namespace

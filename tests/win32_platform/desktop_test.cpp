// The classic desktop way on Windows: Control Panel\Desktop values and the
// system wallpaper call. The previous wallpaper is saved and restored.
#include <gtest/gtest.h>

#include <windows.h>
#include <objbase.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "app/desktop.h"
#include "platform/desktop_win32.h"
#include "platform/registry_win32.h"

namespace {

// COM is initialised once for the process, as the program does at start-up.
class ComEnvironment : public ::testing::Environment {
public:
    void SetUp() override { CoInitialize(nullptr); }
    void TearDown() override { CoUninitialize(); }
};
::testing::Environment *const comEnvironment =
    ::testing::AddGlobalTestEnvironment(new ComEnvironment);

std::string desktopValue(const char *name) {
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, "Control Panel\\Desktop", 0, KEY_READ, &key) !=
        ERROR_SUCCESS)
        return "<no key>";
    char buffer[16] = "";
    DWORD size = sizeof buffer - 1;
    LONG status = RegQueryValueExA(key, name, nullptr, nullptr,
                                   reinterpret_cast<BYTE *>(buffer), &size);
    RegCloseKey(key);
    return status == ERROR_SUCCESS ? std::string(buffer) : std::string("<none>");
}

// A 1 x 1 24-bit BMP, enough for the desktop to accept as a wallpaper.
bool writeTinyBmp(const char *path) {
    static const unsigned char bytes[58] = {
        'B', 'M', 58, 0, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0,  // file header
        40, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0, 1, 0, 24, 0, 0, 0, 0, 0, 4, 0, 0, 0,
        0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,  // info header
        0, 0, 255, 0};                                    // one red pixel, padded
    FILE *file = std::fopen(path, "wb");
    if (!file) return false;
    bool ok = std::fwrite(bytes, 1, sizeof bytes, file) == sizeof bytes;
    return std::fclose(file) == 0 && ok;
}

class ClassicDesktop : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(getDesktopWallpaper(access(), true, previous, &previousStyle));
        char folder[MAX_PATH];
        GetTempPathA(sizeof folder, folder);
        std::snprintf(picture, sizeof picture, "%schromaweave_desktop_test.bmp", folder);
        ASSERT_TRUE(writeTinyBmp(picture));
    }
    void TearDown() override {
        EXPECT_TRUE(setDesktopWallpaper(access(), true, previous, previousStyle, true));
        char now[260] = "";
        SystemParametersInfoA(SPI_GETDESKWALLPAPER, sizeof now, now, 0);
        EXPECT_STREQ(now, previous);
        DeleteFileA(picture);
    }
    DesktopAccess access() { return DesktopAccess{desktop, registry}; }

    platform::Win32Desktop desktop;
    platform::Win32Registry registry;
    char previous[260] = "";
    int32_t previousStyle = 0;
    char picture[MAX_PATH];
};

// Each style through the classic values, with and without persisting, and
// read back.
TEST_F(ClassicDesktop, StylesSetAndReadBack) {
    const struct {
        int32_t style;
        bool persist;
        const char *tile, *stretch;
    } cases[] = {{kWpStyleTile, false, "1", "0"}, {kWpStyleStretch, true, "0", "2"}, {kWpStyleCenter, true, "0", "0"}};
    for (const auto &c : cases) {
        ASSERT_TRUE(setDesktopWallpaper(access(), true, picture, c.style, c.persist)) << c.style;
        EXPECT_EQ(desktopValue("TileWallPaper"), c.tile) << c.style;
        EXPECT_EQ(desktopValue("WallpaperStyle"), c.stretch) << c.style;
        char now[260] = "";
        int32_t style = -1;
        ASSERT_TRUE(getDesktopWallpaper(access(), true, now, &style));
        EXPECT_EQ(style, c.style);
        EXPECT_STREQ(now, picture) << c.style;
    }
}

TEST_F(ClassicDesktop, ActiveDesktopOffFallsBackToClassic) {
    // Where Active Desktop is not on (always under Wine), asking to use it
    // takes the classic way.
    if (isActiveDesktopOn(access())) GTEST_SKIP() << "Active Desktop is on here";
    ASSERT_TRUE(setDesktopWallpaper(access(), false, picture, kWpStyleTile, false));
    EXPECT_EQ(desktopValue("TileWallPaper"), "1");
}

}  // namespace

// The tray menu's enabling rules over every combination of the cycle's state.
#include <gtest/gtest.h>

#include "app/menu_state.h"

namespace {

MenuInputs inputsFrom(uint32_t bits) {
    return MenuInputs{(bits & 1) != 0, (bits & 2) != 0,  (bits & 4) != 0,
                      (bits & 8) != 0, (bits & 16) != 0, (bits & 32) != 0};
}

}  // namespace

// Properties every one of the 64 states must have.
TEST(MenuState, PropertiesOverEveryState) {
    for (uint32_t bits = 0; bits < 64; ++bits) {
        MenuInputs in = inputsFrom(bits);
        MenuState s = menuStateFor(in);
        SCOPED_TRACE(bits);
        // Nothing to save or change before the first wallpaper.
        if (!in.hasPicture) {
            EXPECT_FALSE(s.saveEnabled || s.saveAsEnabled || s.changeEnabled);
        }
        // Saving under a chosen name needs only a picture.
        EXPECT_EQ(s.saveAsEnabled, in.hasPicture);
        EXPECT_EQ(s.stopChecked, in.paused);
        // An open dialog always keeps the stop item from being used.
        if (in.settingsOpen || in.saveAsOpen) {
            EXPECT_FALSE(s.stopEnabled);
        }
        // Paused by a dialog (not by the user): stop is grayed.
        if (in.paused && !in.stopped) {
            EXPECT_FALSE(s.stopEnabled);
        }
        if (in.paused) {
            EXPECT_FALSE(s.changeEnabled);
        }
    }
}

TEST(MenuState, BeforeTheFirstWallpaperOnlyStopIsLeft) {
    MenuState s = menuStateFor(MenuInputs{false, false, false, false, false, false});
    EXPECT_FALSE(s.saveEnabled);
    EXPECT_FALSE(s.saveAsEnabled);
    EXPECT_FALSE(s.changeEnabled);
    EXPECT_TRUE(s.stopEnabled);
    EXPECT_FALSE(s.stopChecked);
}

TEST(MenuState, RunningWithAPicture) {
    MenuState s = menuStateFor(MenuInputs{true, false, false, false, false, false});
    EXPECT_TRUE(s.saveEnabled);
    EXPECT_TRUE(s.saveAsEnabled);
    EXPECT_TRUE(s.changeEnabled);
    EXPECT_TRUE(s.stopEnabled);
}

TEST(MenuState, SettingsDialogOpenHoldsTheCycle) {
    // Held by the dialog: paused but not stopped.
    MenuState s = menuStateFor(MenuInputs{true, false, true, false, true, false});
    EXPECT_FALSE(s.changeEnabled);
    EXPECT_FALSE(s.stopEnabled);
    EXPECT_TRUE(s.stopChecked);
    EXPECT_TRUE(s.saveAsEnabled);
}

TEST(MenuState, StoppedByTheUserCanBeResumed) {
    MenuState s = menuStateFor(MenuInputs{true, false, true, true, false, false});
    EXPECT_TRUE(s.stopEnabled);
    EXPECT_TRUE(s.stopChecked);
    EXPECT_FALSE(s.changeEnabled);
    // Stopped, but a dialog is open: its closing decides, not the menu.
    s = menuStateFor(MenuInputs{true, false, true, true, false, true});
    EXPECT_FALSE(s.stopEnabled);
}

TEST(MenuState, NumberedFilesNeverOfferACopy) {
    for (uint32_t bits = 0; bits < 32; ++bits) {
        MenuInputs in{(bits & 1) != 0, true, (bits & 2) != 0, (bits & 4) != 0,
                      (bits & 8) != 0, (bits & 16) != 0};
        EXPECT_FALSE(menuStateFor(in).saveEnabled) << bits;
    }
}

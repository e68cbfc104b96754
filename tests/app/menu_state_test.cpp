// The tray menu's enabling rules over every combination of the cycle's state.
#include <gtest/gtest.h>

#include "app/menu_state.h"

namespace {

MenuInputs inputsFrom(uint32_t bits) {
    return MenuInputs{(bits & 1) != 0,   (bits & 2) != 0,   (bits & 4) != 0,
                      (bits & 8) != 0,   (bits & 16) != 0,  (bits & 32) != 0,
                      (bits & 64) != 0,  (bits & 128) != 0, (bits & 256) != 0};
}

// Running, no dialog, with a picture, its recipe, an earlier one and a
// history; the cases below change one thing each.
MenuInputs running() { return MenuInputs{true, false, false, false, false, false, true, true, true}; }

}  // namespace

// Properties every one of the 512 states must have.
TEST(MenuState, PropertiesOverEveryState) {
    for (uint32_t bits = 0; bits < 512; ++bits) {
        MenuInputs in = inputsFrom(bits);
        MenuState s = menuStateFor(in);
        SCOPED_TRACE(bits);
        // Nothing that needs the wallpaper shown before the first one.
        if (!in.hasPicture) {
            EXPECT_FALSE(s.saveEnabled || s.saveAsEnabled || s.changeEnabled || s.backEnabled ||
                         s.historyEnabled || s.copyRecipeEnabled || s.pasteEnabled ||
                         s.saveScreenEnabled);
        }
        // Saving under a chosen name needs only a picture; so does the
        // screen-size save.
        EXPECT_EQ(s.saveAsEnabled, in.hasPicture);
        EXPECT_EQ(s.saveScreenEnabled, in.hasPicture);
        EXPECT_EQ(s.copyRecipeEnabled, in.hasPicture && in.hasRecipe);
        EXPECT_EQ(s.stopChecked, in.paused);
        // An open dialog always keeps the stop item from being used.
        if (in.settingsOpen || in.saveAsOpen) {
            EXPECT_FALSE(s.stopEnabled);
        }
        // Paused by a dialog (not by the user): stop is grayed.
        if (in.paused && !in.stopped) {
            EXPECT_FALSE(s.stopEnabled);
        }
        // Whatever changes the wallpaper follows the change item.
        EXPECT_EQ(s.backEnabled, s.changeEnabled && in.canGoBack);
        EXPECT_EQ(s.historyEnabled, s.changeEnabled && in.hasHistory);
        EXPECT_EQ(s.pasteEnabled, s.changeEnabled);
        if (in.paused) {
            EXPECT_FALSE(s.changeEnabled || s.backEnabled || s.historyEnabled || s.pasteEnabled);
        }
    }
}

TEST(MenuState, BeforeTheFirstWallpaperOnlyStopIsLeft) {
    MenuInputs in = running();
    in.hasPicture = false;
    MenuState s = menuStateFor(in);
    EXPECT_FALSE(s.saveEnabled);
    EXPECT_FALSE(s.saveAsEnabled);
    EXPECT_FALSE(s.changeEnabled);
    EXPECT_FALSE(s.backEnabled || s.historyEnabled || s.pasteEnabled || s.copyRecipeEnabled);
    EXPECT_TRUE(s.stopEnabled);
    EXPECT_FALSE(s.stopChecked);
}

TEST(MenuState, RunningWithAPicture) {
    MenuState s = menuStateFor(running());
    EXPECT_TRUE(s.saveEnabled);
    EXPECT_TRUE(s.saveAsEnabled);
    EXPECT_TRUE(s.changeEnabled);
    EXPECT_TRUE(s.stopEnabled);
    EXPECT_TRUE(s.backEnabled && s.historyEnabled && s.copyRecipeEnabled && s.pasteEnabled &&
                s.saveScreenEnabled);
    // Without an earlier wallpaper, a history or a recipe of its own.
    MenuInputs in = running();
    in.canGoBack = in.hasHistory = in.hasRecipe = false;
    s = menuStateFor(in);
    EXPECT_FALSE(s.backEnabled || s.historyEnabled || s.copyRecipeEnabled);
    EXPECT_TRUE(s.pasteEnabled && s.changeEnabled);
}

TEST(MenuState, SettingsDialogOpenHoldsTheCycle) {
    // Held by the dialog: paused but not stopped.
    MenuInputs in = running();
    in.paused = in.settingsOpen = true;
    MenuState s = menuStateFor(in);
    EXPECT_FALSE(s.changeEnabled);
    EXPECT_FALSE(s.stopEnabled);
    EXPECT_TRUE(s.stopChecked);
    EXPECT_TRUE(s.saveAsEnabled);
    EXPECT_TRUE(s.copyRecipeEnabled && s.saveScreenEnabled);
}

TEST(MenuState, StoppedByTheUserCanBeResumed) {
    MenuInputs in = running();
    in.paused = in.stopped = true;
    MenuState s = menuStateFor(in);
    EXPECT_TRUE(s.stopEnabled);
    EXPECT_TRUE(s.stopChecked);
    EXPECT_FALSE(s.changeEnabled);
    // Stopped, but a dialog is open: its closing decides, not the menu.
    in.saveAsOpen = true;
    s = menuStateFor(in);
    EXPECT_FALSE(s.stopEnabled);
}

TEST(MenuState, NumberedFilesNeverOfferACopy) {
    for (uint32_t bits = 0; bits < 512; ++bits) {
        MenuInputs in = inputsFrom(bits);
        in.useSequentialNo = true;
        EXPECT_FALSE(menuStateFor(in).saveEnabled) << bits;
    }
}

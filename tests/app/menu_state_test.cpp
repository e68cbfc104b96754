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
        // With numbered files every wallpaper is kept already: no copy.
        if (in.useSequentialNo) {
            EXPECT_FALSE(s.saveEnabled);
        }
    }
}

// Single states, every item: {hasPicture, useSequentialNo, paused, stopped,
// settingsOpen, saveAsOpen} -> {save, saveAs, change, stop, stopChecked}.
TEST(MenuState, ChosenStates) {
    const struct {
        const char *what;
        MenuInputs in;
        MenuState want;
    } cases[] = {
        {"before the first wallpaper only stop is left", {false, false, false, false, false, false},
         {false, false, false, true, false}},
        {"running with a picture", {true, false, false, false, false, false}, {true, true, true, true, false}},
        // Held by the dialog: paused but not stopped.
        {"the settings dialog holds the cycle", {true, false, true, false, true, false},
         {true, true, false, false, true}},
        {"stopped by the user: can be resumed", {true, false, true, true, false, false},
         {true, true, false, true, true}},
        // Stopped, but a dialog is open: its closing decides, not the menu.
        {"stopped with the save dialog open", {true, false, true, true, false, true},
         {true, true, false, false, true}},
        {"numbered files never offer a copy", {true, true, false, false, false, false},
         {false, true, true, true, false}},
    };
    for (const auto &c : cases) {
        MenuState s = menuStateFor(c.in);
        EXPECT_EQ(s.saveEnabled, c.want.saveEnabled) << c.what;
        EXPECT_EQ(s.saveAsEnabled, c.want.saveAsEnabled) << c.what;
        EXPECT_EQ(s.changeEnabled, c.want.changeEnabled) << c.what;
        EXPECT_EQ(s.stopEnabled, c.want.stopEnabled) << c.what;
        EXPECT_EQ(s.stopChecked, c.want.stopChecked) << c.what;
    }
}

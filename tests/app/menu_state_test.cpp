// The tray menu's enabling rules over every combination of the cycle's state.
#include <gtest/gtest.h>

#include "app/menu_state.h"

namespace {

MenuInputs inputsFrom(uint32_t bits) {
    return MenuInputs{(bits & 1) != 0,  (bits & 2) != 0,  (bits & 4) != 0,   (bits & 8) != 0,  (bits & 16) != 0,
                      (bits & 32) != 0, (bits & 64) != 0, (bits & 128) != 0, (bits & 256) != 0};
}

}  // namespace

// Properties every one of the 512 states must have.
TEST(MenuState, PropertiesOverEveryState) {
    for (uint32_t bits = 0; bits < 512; ++bits) {
        MenuInputs in = inputsFrom(bits);
        MenuState s = menuStateFor(in);
        SCOPED_TRACE(bits);
        // Nothing that needs the wallpaper shown before the first one.
        if (!in.hasPicture) {
            EXPECT_FALSE(s.saveEnabled || s.saveAsEnabled || s.changeEnabled || s.backEnabled || s.historyEnabled ||
                         s.copyRecipeEnabled || s.pasteEnabled || s.saveScreenEnabled);
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
        // With numbered files every wallpaper is kept already: no copy.
        if (in.useSequentialNo) {
            EXPECT_FALSE(s.saveEnabled);
        }
    }
}

// Single states, every item: {hasPicture, useSequentialNo, paused, stopped,
// settingsOpen, saveAsOpen, hasRecipe, canGoBack, hasHistory} -> {save,
// saveAs, change, stop, stopChecked, back, history, copyRecipe, paste,
// saveScreen}.
TEST(MenuState, ChosenStates) {
    const struct {
        const char *what;
        MenuInputs in;
        MenuState want;
    } cases[] = {
        {"before the first wallpaper only stop is left", {0, 0, 0, 0, 0, 0, 0, 0, 0}, {0, 0, 0, 1, 0, 0, 0, 0, 0, 0}},
        {"running with a picture", {1, 0, 0, 0, 0, 0, 1, 1, 1}, {1, 1, 1, 1, 0, 1, 1, 1, 1, 1}},
        {"no earlier wallpaper, no history, no recipe", {1, 0, 0, 0, 0, 0, 0, 0, 0}, {1, 1, 1, 1, 0, 0, 0, 0, 1, 1}},
        // Held by the dialog: paused but not stopped.
        {"the settings dialog holds the cycle", {1, 0, 1, 0, 1, 0, 1, 1, 1}, {1, 1, 0, 0, 1, 0, 0, 1, 0, 1}},
        {"stopped by the user: can be resumed", {1, 0, 1, 1, 0, 0, 1, 1, 1}, {1, 1, 0, 1, 1, 0, 0, 1, 0, 1}},
        // Stopped, but a dialog is open: its closing decides, not the menu.
        {"stopped with the save dialog open", {1, 0, 1, 1, 0, 1, 1, 1, 1}, {1, 1, 0, 0, 1, 0, 0, 1, 0, 1}},
        {"numbered files never offer a copy", {1, 1, 0, 0, 0, 0, 1, 1, 1}, {0, 1, 1, 1, 0, 1, 1, 1, 1, 1}},
    };
    for (const auto &c : cases) {
        MenuState s = menuStateFor(c.in);
        const bool got[] = {s.saveEnabled, s.saveAsEnabled,  s.changeEnabled,     s.stopEnabled,  s.stopChecked,
                            s.backEnabled, s.historyEnabled, s.copyRecipeEnabled, s.pasteEnabled, s.saveScreenEnabled};
        const bool want[] = {c.want.saveEnabled,      c.want.saveAsEnabled,     c.want.changeEnabled,
                             c.want.stopEnabled,      c.want.stopChecked,       c.want.backEnabled,
                             c.want.historyEnabled,   c.want.copyRecipeEnabled, c.want.pasteEnabled,
                             c.want.saveScreenEnabled};
        for (size_t i = 0; i < sizeof got / sizeof got[0]; ++i) EXPECT_EQ(got[i], want[i]) << c.what << ", item " << i;
    }
}

// The tray menu's enabling rules.
#include "app/menu_state.h"

MenuState menuStateFor(const MenuInputs &in) {
    MenuState s;
    // With numbered files every wallpaper is already kept under its own
    // number: a numbered copy would only duplicate it.
    s.saveEnabled = in.hasPicture && !in.useSequentialNo;
    s.saveAsEnabled = in.hasPicture;
    s.changeEnabled = in.hasPicture && !in.paused;
    // Stop/resume only while the user's own choice is what holds the cycle:
    // not while a dialog holds it (paused without stopped), and not while a
    // dialog is open, whose closing resumes the cycle.
    s.stopEnabled = in.stopped == in.paused && !in.settingsOpen && !in.saveAsOpen;
    s.stopChecked = in.paused;
    // Everything else that changes the wallpaper follows the change item.
    s.backEnabled = s.changeEnabled && in.canGoBack;
    s.historyEnabled = s.changeEnabled && in.hasHistory;
    s.pasteEnabled = s.changeEnabled;
    // What only reads the wallpaper shown needs it, paused or not.
    s.copyRecipeEnabled = in.hasPicture && in.hasRecipe;
    s.saveScreenEnabled = in.hasPicture;
    return s;
}

// Which tray-menu items are enabled and checked, decided from the cycle's
// state when the menu opens.
#pragma once

// What the menu's rules look at.
struct MenuInputs {
    bool hasPicture;       // a wallpaper was set in this run
    bool useSequentialNo;  // wallpapers go to numbered files
    bool paused;
    bool stopped;          // the user stopped the cycle (implies paused)
    bool settingsOpen;
    bool saveAsOpen;
    bool hasRecipe;        // the wallpaper shown has a recipe
    bool canGoBack;        // back has an earlier wallpaper to show
    bool hasHistory;       // the history lists a wallpaper
};

// Settings, About and Exit are always enabled and not listed.
struct MenuState {
    bool saveEnabled;        // save wallpaper (a numbered copy)
    bool saveAsEnabled;      // save wallpaper as
    bool changeEnabled;      // change wallpaper now
    bool stopEnabled;        // stop / resume the cycle
    bool stopChecked;
    bool backEnabled;        // back to the previous wallpaper
    bool historyEnabled;     // the history submenu (its entries change the wallpaper)
    bool copyRecipeEnabled;  // copy the recipe of the wallpaper shown
    bool pasteEnabled;       // a wallpaper from the recipe in the clipboard
    bool saveScreenEnabled;  // save the wallpaper repeated to the screen's size
};

MenuState menuStateFor(const MenuInputs &in);

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
};

// Settings, About and Exit are always enabled and not listed.
struct MenuState {
    bool saveEnabled;    // save wallpaper (a numbered copy)
    bool saveAsEnabled;  // save wallpaper as
    bool changeEnabled;  // change wallpaper now
    bool stopEnabled;    // stop / resume the cycle
    bool stopChecked;
};

MenuState menuStateFor(const MenuInputs &in);

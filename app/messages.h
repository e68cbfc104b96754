// Message numbers and timer ids of the hidden main window, the menu command
// ids, and the string-table ids of the cycle's message boxes.
#pragma once

#include <cstdint>

// Window messages (WM_USER and up).
const uint32_t MSG_TRAY = 1024;         // tray callback; lParam is the mouse message
const uint32_t MSG_JOB_DONE = 1025;     // the worker's picture is ready; wParam is the job number
const uint32_t MSG_SAVE_FAILED = 1026;  // the wallpaper file could not be written

// Timers of the main window.
const uint32_t TIMER_CHANGE = 1;  // periodic change, period Interval
const uint32_t TIMER_RESUME = 2;  // one shot: the rest of an interval interrupted by a pause
const uint32_t TIMER_TRAY = 3;    // tries again to add a tray icon the taskbar did not take
// Asks whether the user is busy (full screen, battery) while the advanced
// settings hold timed changes for it. A bit value of its own: the cycle
// keeps it in activeTimers with TIMER_CHANGE and TIMER_RESUME.
const uint32_t TIMER_BUSY = 4;

// Adding the tray icon is tried this often, this many milliseconds apart,
// when the taskbar is not there at start-up (it may start late at sign-in).
const uint32_t trayRetryPeriod = 2000;
const uint32_t trayRetryTries = 60;

// Menu commands (WM_COMMAND, low word of wParam).
const uint32_t CMD_SETTINGS = 100;
const uint32_t CMD_SAVE = 101;
const uint32_t CMD_SAVE_AS = 102;
const uint32_t CMD_CHANGE = 103;
const uint32_t CMD_STOP = 104;
const uint32_t CMD_ABOUT = 105;
const uint32_t CMD_EXIT = 106;

// String-table texts of the cycle's message boxes.
const uint32_t TEXT_ERROR_CAPTION = 320;       // default caption of every box
const uint32_t TEXT_COPY_NOT_SAVED = 340;      // a copy (save, save as) could not be written
const uint32_t TEXT_WALLPAPER_NOT_SET = 341;   // the desktop refused the wallpaper
const uint32_t TEXT_WALLPAPER_NOT_SAVED = 342; // the wallpaper file could not be written
const uint32_t TEXT_NO_WINDOW_CLASS = 343;
const uint32_t TEXT_NO_WINDOW = 344;
const uint32_t TEXT_NO_MUTEX = 346;

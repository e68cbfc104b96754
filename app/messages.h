// Message numbers and timer ids of the hidden main window. The menu
// commands and the string-table texts of the message boxes are resource ids:
// app/resources/resource.h names them.
#pragma once

#include <cstdint>

// Window messages (WM_USER and up).
const uint32_t kMsgTray = 1024;        // tray callback; lParam is the mouse message
const uint32_t kMsgJobDone = 1025;     // the worker's picture is ready; wParam is the job number
const uint32_t kMsgSaveFailed = 1026;  // the wallpaper file could not be written

// Timers of the main window.
const uint32_t kTimerChange = 1;  // periodic change, period Interval
const uint32_t kTimerResume = 2;  // one shot: the rest of an interval interrupted by a pause
const uint32_t kTimerTray = 3;    // tries again to add a tray icon the taskbar did not take

// Adding the tray icon is tried this often, this many milliseconds apart,
// when the taskbar is not there at start-up (it may start late at sign-in).
const uint32_t kTrayRetryPeriod = 2000;
const uint32_t kTrayRetryTries = 60;

// Resource ids of chromaweave, grouped by kind: the one list of them. Shared
// by both resource scripts, the Windows shell code and the portable code
// (the cycle's commands and messages, the settings checks and their focus),
// so it holds only #define lines.
#pragma once

// ---- Icons: the program icon, its paused variant (tray) and the held one
// (tray: timed changes wait while the user is busy).
#define IDI_PROGRAM 1
#define IDI_PAUSED 2
#define IDI_HELD 3

// ---- Menus: the tray menu (one popup) and its commands.
#define IDM_TRAY 10
#define IDM_SETTINGS 100
#define IDM_SAVE 101
#define IDM_SAVE_AS 102
#define IDM_CHANGE 103
#define IDM_STOP 104
#define IDM_ABOUT 105
#define IDM_EXIT 106
// Items the program inserts below IDM_CHANGE when it opens the menu (menu 10
// itself stays as it is); their texts are strings 352-356.
#define IDM_BACK 110     // back to the previous wallpaper
#define IDM_HISTORY 111  // the history submenu
#define IDM_COPY_RECIPE 112
#define IDM_PASTE_RECIPE 113    // a wallpaper from the recipe in the clipboard
#define IDM_SAVE_SCREEN 114     // save the tile repeated to the screen's size
#define IDM_HISTORY_FIRST 1000  // 1000-1019: the history's entries, newest first
// Inserted into the tray menu at run time, below item 100.
#define IDM_ADVANCED 120

// ---- Dialogs.
#define IDD_SETTINGS 20
#define IDD_ABOUT 21
#define IDD_ADVANCED 22

// Settings dialog controls (OK and Cancel are IDOK and IDCANCEL).
#define IDC_PRESET_SIZE 200  // radio: choose from the list
#define IDC_CUSTOM_SIZE 201  // radio: specify
#define IDC_PRESET_LIST 202
#define IDC_WIDTH_LABEL 203
#define IDC_WIDTH 204
#define IDC_WIDTH_SPIN 205
#define IDC_HEIGHT_LABEL 206
#define IDC_HEIGHT 207
#define IDC_HEIGHT_SPIN 208
#define IDC_INTERVAL 209
#define IDC_INTERVAL_SPIN 210
#define IDC_INTERVAL_UNIT 211
#define IDC_FOLDER 212
#define IDC_BROWSE 213
#define IDC_SEQUENTIAL 214
#define IDC_RESTORE 215
#define IDC_DELETE_FILE 216
#define IDC_ASK_OVERWRITE 217
#define IDC_NO_ACTIVE_DESKTOP 218

// About dialog controls.
#define IDC_HOME_PAGE 200  // the underlined link
#define IDC_COUNT 201      // the wallpaper count

// Advanced settings dialog controls. Each family check box is
// IDC_FAMILY_FIRST + its tlStyleFamily; checked means the family is used.
#define IDC_HOTKEY_CHANGE 230  // hotkey controls, in the order of the actions
#define IDC_HOTKEY_BACK 231
#define IDC_HOTKEY_STOP 232
#define IDC_HOTKEY_TAKEN 233  // shown while a hotkey could not be registered
#define IDC_START_WITH_WINDOWS 234
#define IDC_HOLD_FULL_SCREEN 235
#define IDC_HOLD_ON_BATTERY 236
#define IDC_COMPLEXITY 237
#define IDC_FAMILY_FIRST 240
#define IDC_FAMILY_GRADIENTS 240
#define IDC_FAMILY_CHECKERS 241
#define IDC_FAMILY_CLOUDS 242
#define IDC_FAMILY_DOTS 243
#define IDC_FAMILY_LINES 244
#define IDC_FAMILY_WARPS 245
#define IDC_FAMILY_NOISE 246
#define IDC_FAMILY_SOFT 247
#define IDC_FAMILY_EDGES 248
#define IDC_FAMILY_TILES 249

// ---- Strings. Each exists in Japanese (chromaweave.rc) and English
// (chromaweave_en.rc). New strings start at 352, a string-table block of
// their own (ids 352-367), so the blocks that hold 300-346 stay unchanged.
#define IDS_UNIT_NAMES 300  // "seconds\0minutes\0hours"
#define IDS_BROWSE_TITLE 310
#define IDS_SAVE_FILTER 311  // NUL-separated filter pairs
#define IDS_ERROR_CAPTION 320
#define IDS_BAD_SIZE 330
#define IDS_BAD_INTERVAL 331
#define IDS_CREATE_FOLDER 332
#define IDS_CREATE_FOLDER_CAPTION 333
#define IDS_FOLDER_TOO_LONG 334
#define IDS_COPY_NOT_SAVED 340
#define IDS_WALLPAPER_NOT_SET 341
#define IDS_WALLPAPER_NOT_SAVED 342
#define IDS_NO_WINDOW_CLASS 343
#define IDS_NO_WINDOW 344
#define IDS_FOLDER_NOT_CREATED 345
#define IDS_NO_MUTEX 346
#define IDS_MENU_BACK 352  // texts of the inserted menu items
#define IDS_MENU_HISTORY 353
#define IDS_MENU_COPY_RECIPE 354
#define IDS_MENU_PASTE_RECIPE 355
#define IDS_MENU_SAVE_SCREEN 356
#define IDS_CLIPBOARD_NO_TEXT 357      // a recipe was to be taken from an empty clipboard
#define IDS_RECIPE_NOT_A_RECIPE 358    // the clipboard's text is not a recipe
#define IDS_RECIPE_NEWER 359           // a recipe of a newer format
#define IDS_RECIPE_DAMAGED 360         // changed, lost or added characters
#define IDS_RECIPE_OUT_OF_RANGE 361    // an effect, size or value this build cannot make
#define IDS_RECIPE_NOT_MADE 362        // the recipe's wallpaper could not be rendered
#define IDS_CLIPBOARD_NOT_WRITTEN 363  // the recipe could not be copied
// The advanced settings: a block of their own from 368 (352-367 belong to
// the history's texts).
#define IDS_ADVANCED_MENU 368     // the tray menu item
#define IDS_COMPLEXITY_NAMES 369  // "simple\0normal\0rich"
#define IDS_BAD_STYLE 370
#define IDS_HOTKEY_INVALID 371
#define IDS_HOTKEY_TWICE 372
#define IDS_HOTKEY_TAKEN 373
#define IDS_RUN_NOT_WRITTEN 374
#define IDS_TRAY_HELD 375  // the tray icon's tip while changes are held

// ---- Other.
#define IDR_MANIFEST 1  // application manifest (common controls 6)

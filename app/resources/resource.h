// Resource ids of chromaweave, grouped by kind: the one list of them. Shared
// by both resource scripts, the Windows shell code and the portable code
// (the cycle's commands and messages, the settings checks and their focus),
// so it holds only #define lines.
#pragma once

// ---- Icons: the program icon and its paused variant (tray).
#define IDI_PROGRAM 1
#define IDI_PAUSED 2

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
#define IDM_BACK 110             // back to the previous wallpaper
#define IDM_HISTORY 111          // the history submenu
#define IDM_COPY_RECIPE 112
#define IDM_PASTE_RECIPE 113     // a wallpaper from the recipe in the clipboard
#define IDM_SAVE_SCREEN 114      // save the tile repeated to the screen's size
#define IDM_HISTORY_FIRST 1000   // 1000-1019: the history's entries, newest first

// ---- Dialogs.
#define IDD_SETTINGS 20
#define IDD_ABOUT 21

// Settings dialog controls (OK and Cancel are IDOK and IDCANCEL).
#define IDC_PRESET_SIZE 200      // radio: choose from the list
#define IDC_CUSTOM_SIZE 201      // radio: specify
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
#define IDC_HOME_PAGE 200        // the underlined link
#define IDC_COUNT 201            // the wallpaper count

// ---- Strings. Each exists in Japanese (chromaweave.rc) and English
// (chromaweave_en.rc). New strings start at 352, a string-table block of
// their own (ids 352-367), so the blocks that hold 300-346 stay unchanged.
#define IDS_UNIT_NAMES 300       // "seconds\0minutes\0hours"
#define IDS_BROWSE_TITLE 310
#define IDS_SAVE_FILTER 311      // NUL-separated filter pairs
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
#define IDS_MENU_BACK 352        // texts of the inserted menu items
#define IDS_MENU_HISTORY 353
#define IDS_MENU_COPY_RECIPE 354
#define IDS_MENU_PASTE_RECIPE 355
#define IDS_MENU_SAVE_SCREEN 356
#define IDS_CLIPBOARD_NO_TEXT 357       // a recipe was to be taken from an empty clipboard
#define IDS_RECIPE_NOT_A_RECIPE 358     // the clipboard's text is not a recipe
#define IDS_RECIPE_NEWER 359            // a recipe of a newer format
#define IDS_RECIPE_DAMAGED 360          // changed, lost or added characters
#define IDS_RECIPE_OUT_OF_RANGE 361     // an effect, size or value this build cannot make
#define IDS_RECIPE_NOT_MADE 362         // the recipe's wallpaper could not be rendered
#define IDS_CLIPBOARD_NOT_WRITTEN 363   // the recipe could not be copied

// ---- Other.
#define IDR_MANIFEST 1           // application manifest (common controls 6)

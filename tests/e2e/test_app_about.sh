#!/usr/bin/env bash
# The About dialog from the tray menu's command: its title and texts in the
# interface language, the count of wallpaper changes; OK closes it.
# e2e-locales: ja en ja-en en-ja
source "$(dirname "$0")/app_common.sh"
app_setup test_app_about

mkdir -p "$(linux_path 'C:\wall')"
app_store_settings 'C:\wall' 600000 1 Count dword:7
e2e_wait_tray
app_start
# The first change is made at start; then none for ten minutes.
wait_for_new_file "$(linux_path 'C:\wall\chromaweave.bmp')" none 60

app_command 105
about=$(wait_for_window "$DIALOG" "$ABOUT_TITLE") || e2e_fail "no About dialog"
e2e_drive redraw "$about" >/dev/null
e2e_screenshot about_dialog
app_check_dialog "$about" about
e2e_assert_eq 8 "$(e2e_drive text "$about" 201)" "count in the About dialog"
e2e_press "$about" 1 || e2e_fail "OK did not close the About dialog"

app_command 106
app_expect_exit

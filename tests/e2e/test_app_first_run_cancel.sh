#!/usr/bin/env bash
# First start: the settings dialog comes first and nothing is generated; a
# second copy ends silently while the first runs on; Cancel ends the program
# without writing any settings.
# e2e-locales: ja en ja-en en-ja
source "$(dirname "$0")/app_common.sh"
app_setup test_app_first_run_cancel

app_start
dialog=$(settings_dialog) || e2e_fail "no settings dialog on the first run"
e2e_drive redraw "$dialog" >/dev/null
e2e_screenshot settings_dialog
app_check_dialog "$dialog" settings

e2e_start second "$E2E_MAIN"
wait_for_exit second 30
e2e_assert_eq 0 "$E2E_EXIT_CODE" "exit code of the second copy"
e2e_running chromaweave || e2e_fail "the first copy ended with the second"
e2e_drive wait-window "$DIALOG" "$SETTINGS_TITLE" 1000 >/dev/null ||
  e2e_fail "the first copy lost its dialog"

documents=$(linux_path 'C:\users')
[ -z "$(find "$documents" -name '*.bmp' -print -quit)" ] || e2e_fail "a wallpaper before OK"

e2e_press "$dialog" 2 || e2e_fail "Cancel did not close the dialog"
app_expect_exit
! e2e_reg_exists "$SETTINGS_KEY" || e2e_fail "Cancel on the first run wrote settings"
[ -z "$(find "$documents" -name '*.bmp' -print -quit)" ] || e2e_fail "a wallpaper after Cancel"
e2e_assert_eq "" "$(desktop_wallpaper)" "wallpaper after Cancel"

#!/usr/bin/env bash
# A wallpaper folder that cannot be written: message 342 with the program's
# icon, the cycle holds (paused icon, nothing written) and the settings
# dialog opens; a writable folder confirmed there resumes the cycle.
# e2e-locales: ja en ja-en en-ja
source "$(dirname "$0")/app_common.sh"
app_setup test_app_save_failed

# A file where the folder should be: nothing can be written below it.
echo blocked >"$(linux_path 'C:\blocked')"
app_store_settings 'C:\blocked' 2000 0
paused=$(icon_middle paused.ico paused)
running=$(icon_middle chromaweave.ico running)
e2e_wait_tray
app_start

box=$(wait_for_window "$DIALOG" "$ERROR_CAPTION" 60000) || e2e_fail "no message for the failed write"
e2e_check_msgbox "$box" "$ERROR_CAPTION" "$TEXT_NOT_SAVED" OK 1 other
e2e_screenshot message_not_saved
deadline=$((SECONDS + 10))
until tray_shows "$paused"; do
  [ $SECONDS -lt $deadline ] || e2e_fail "the tray does not show the paused icon while held"
  sleep 0.2
done
e2e_press "$box" 1
dialog=$(settings_dialog) || e2e_fail "no settings dialog after the failed write"
e2e_screenshot settings_after_failure
[ -z "$(find "$WINEPREFIX/drive_c" -name 'chromaweave*.bmp' -print -quit)" ] ||
  e2e_fail "a wallpaper file was written"

e2e_drive set-text "$dialog" 212 'C:\wall' >/dev/null
e2e_drive click "$dialog" 1 >/dev/null
question=$(wait_for_window "$DIALOG" "$CAPTION_CREATE_FOLDER") || e2e_fail "no question for the folder"
e2e_press "$question" 6
wait_for_gone "$dialog" || e2e_fail "the settings dialog stayed open"
file=$(linux_path 'C:\wall\chromaweave.bmp')
# The size is unchanged: the held cycle resumes where its interval was
# interrupted.
wait_for_new_file "$file" none 60
deadline=$((SECONDS + 10))
until tray_shows "$running"; do
  [ $SECONDS -lt $deadline ] || e2e_fail "the tray does not show the running icon after resuming"
  sleep 0.2
done
e2e_assert_eq 'C:\wall\chromaweave.bmp' "$(desktop_wallpaper)" "wallpaper after the folder change"
app_command 106
app_expect_exit
stored=$(reg_value "$SETTINGS_KEY" Count)
[ "${stored#dword:}" -ge 1 ] || e2e_fail "stored Count $stored: the failed write was counted or nothing was"
e2e_assert_eq '"C:\wall"' "$(reg_value "$SETTINGS_KEY" WallpaperDir)" "stored WallpaperDir"

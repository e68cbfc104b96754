#!/usr/bin/env bash
# Exit from the tray (command 106) with each dialog open: settings, About,
# save as. The program ends with code 0 and saves its settings every time.
# With RestoreWallpaper off and DeleteFile on, the wallpaper file the
# desktop still shows is kept.
source "$(dirname "$0")/app_common.sh"
app_setup test_app_exit_dialogs

convert -size 8x8 xc:'#406080' BMP3:"$(linux_path 'C:\prev.bmp')"
e2e_drive set-wallpaper 'C:\prev.bmp' >/dev/null || e2e_fail "cannot set the previous wallpaper"
mkdir -p "$(linux_path 'C:\wall')"
app_store_settings 'C:\wall' 600000 1 RestoreWallpaper dword:0 DeleteFile dword:1 Count dword:10
file=$(linux_path 'C:\wall\chromaweave.bmp')
e2e_wait_tray

count=10
for dialog in settings about save; do
  e2e_log "exit with the $dialog dialog open"
  old=$(file_sum "$file")
  app_start
  wait_for_new_file "$file" "$old" 60
  case $dialog in
    settings) app_command 100; window=$(settings_dialog) ;;
    about) app_command 105; window=$(wait_for_window "$DIALOG" "$ABOUT_TITLE") ;;
    save) app_command 102; window=$(save_dialog) ;;
  esac
  [ -n "$window" ] || e2e_fail "no $dialog dialog"
  app_command 106
  app_expect_exit
  count=$((count + 1))
  e2e_assert_eq "dword:$count" "$(reg_value "$SETTINGS_KEY" Count)" "stored Count after exit with the $dialog dialog open"
  [ -f "$file" ] || e2e_fail "the wallpaper file was deleted although the wallpaper was not restored"
  e2e_assert_eq 'C:\wall\chromaweave.bmp' "$(desktop_wallpaper)" "wallpaper after exit without restore"
done

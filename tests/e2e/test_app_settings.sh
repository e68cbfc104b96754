#!/usr/bin/env bash
# The settings dialog's checks in order, each with its message and focus; a
# missing nested folder created after Yes; a size change renders a picture
# of the new size at once; a folder change deletes the old fixed file.
source "$(dirname "$0")/app_common.sh"
app_setup test_app_settings

mkdir -p "$(linux_path 'C:\wall')"
app_store_settings 'C:\wall' 600000 1
old=$(linux_path 'C:\wall\chromaweave.bmp')
app_start
wait_for_new_file "$old" none 60
e2e_assert_eq 120x120 "$(bmp_size "$old")" "size of the first wallpaper"
# On a ten-minute interval, a left click on the icon and the menu's
# "change" each change the wallpaper at once.
e2e_wait_tray
before=$(file_sum "$old")
e2e_drive tray-click "$MAIN_CLASS" LEFT >/dev/null
wait_for_new_file "$old" "$before" 30
before=$(file_sum "$old")
app_menu c
wait_for_new_file "$old" "$before" 30

app_command 100
dialog=$(settings_dialog) || e2e_fail "no settings dialog"
e2e_assert_eq "enabled=0" "$(e2e_drive state "$dialog" 204 | cut -d' ' -f1)" "width before 'specify'"
# The dialog holds the cycle: "stop" is grayed and choosing it changes
# nothing (were it stopped, the size change below would set no wallpaper).
app_menu p tray_menu_settings_open

# ok_expect TEXT_ID_TEXT CAPTION ICON: OK, then the message box it shows.
ok_expect() {
  e2e_drive click "$dialog" 1 >/dev/null
  local box
  box=$(wait_for_window "$DIALOG" "$2") || e2e_fail "no message box for: $1"
  if [ "$3" = question ]; then
    e2e_check_msgbox "$box" "$2" "$1" YES,NO 6 question
  else
    e2e_check_msgbox "$box" "$2" "$1" OK 1 "$3"
  fi
  BOX=$box
}

# wait_for_focus DIALOG EXPECTED WHAT: the focus moves once the box is gone.
wait_for_focus() {
  local deadline=$((SECONDS + 10)) got
  until got=$(e2e_drive focus "$1") && [ "$got" = "$2" ]; do
    [ $SECONDS -lt $deadline ] || e2e_assert_eq "$2" "$got" "$3"
    sleep 0.1
  done
}

e2e_drive button-click "$dialog" 201 >/dev/null
deadline=$((SECONDS + 10))
until [ "$(e2e_drive state "$dialog" 204 | cut -d' ' -f1)" = enabled=1 ]; do
  [ $SECONDS -lt $deadline ] || e2e_fail "'specify' did not enable the width"
  sleep 0.1
done
e2e_assert_eq "enabled=0" "$(e2e_drive state "$dialog" 202 | cut -d' ' -f1)" "preset list after 'specify'"
e2e_drive set-text "$dialog" 204 0 >/dev/null
ok_expect "$TEXT_BAD_SIZE" "$ERROR_CAPTION" warning
e2e_screenshot message_box
e2e_press "$BOX" 1

e2e_drive set-text "$dialog" 204 50 >/dev/null
e2e_drive set-text "$dialog" 207 30 >/dev/null
e2e_drive set-text "$dialog" 209 0 >/dev/null
ok_expect "$TEXT_BAD_INTERVAL" "$ERROR_CAPTION" warning
e2e_press "$BOX" 1
wait_for_focus "$dialog" "focus=209 selection=0,1" "focus after a zero interval"

# 597 hours do not fit the timer: refused instead of wrapping around.
e2e_drive set-text "$dialog" 209 597 >/dev/null
e2e_drive select "$dialog" 211 2 >/dev/null
ok_expect "$TEXT_BAD_INTERVAL" "$ERROR_CAPTION" warning
e2e_press "$BOX" 1

e2e_drive set-text "$dialog" 209 10 >/dev/null
e2e_drive select "$dialog" 211 1 >/dev/null
e2e_drive set-text "$dialog" 212 "C:\\$(printf 'a%.0s' $(seq 230))" >/dev/null
ok_expect "$TEXT_FOLDER_TOO_LONG" "$ERROR_CAPTION" warning
e2e_press "$BOX" 1

e2e_drive set-text "$dialog" 212 'C:\one\two' >/dev/null
ok_expect "$TEXT_CREATE_FOLDER" "$CAPTION_CREATE_FOLDER" question
e2e_press "$BOX" 7
wait_for_focus "$dialog" "focus=212 selection=0,10" "focus after No"
[ ! -e "$(linux_path 'C:\one')" ] || e2e_fail "No created the folder"

e2e_drive set-text "$dialog" 212 'Q:\x\y' >/dev/null
ok_expect "$TEXT_CREATE_FOLDER" "$CAPTION_CREATE_FOLDER" question
e2e_press "$BOX" 6
box=$(wait_for_window "$DIALOG" "$ERROR_CAPTION") || e2e_fail "no message for a folder on no drive"
e2e_check_msgbox "$box" "$ERROR_CAPTION" "$TEXT_FOLDER_NOT_CREATED" OK 1 warning
e2e_press "$box" 1
e2e_drive wait-window "$DIALOG" "$SETTINGS_TITLE" 1000 >/dev/null || e2e_fail "the dialog closed"

e2e_drive set-text "$dialog" 212 'C:\one\two' >/dev/null
ok_expect "$TEXT_CREATE_FOLDER" "$CAPTION_CREATE_FOLDER" question
e2e_press "$BOX" 6
wait_for_gone "$dialog" || e2e_fail "the settings dialog stayed open"
new=$(linux_path 'C:\one\two\chromaweave.bmp')
wait_for_new_file "$new" none 60
e2e_assert_eq 50x30 "$(bmp_size "$new")" "size after the size change"
[ ! -e "$old" ] || e2e_fail "the old fixed file stayed in the old folder"

app_command 106
app_expect_exit
e2e_assert_eq dword:1 "$(reg_value "$SETTINGS_KEY" UseCustomSize)" "stored UseCustomSize"
e2e_assert_eq dword:50 "$(reg_value "$SETTINGS_KEY" CustomWidth)" "stored CustomWidth"
e2e_assert_eq dword:30 "$(reg_value "$SETTINGS_KEY" CustomHeight)" "stored CustomHeight"
e2e_assert_eq '"C:\one\two"' "$(reg_value "$SETTINGS_KEY" WallpaperDir)" "stored WallpaperDir"
e2e_assert_eq dword:4 "$(reg_value "$SETTINGS_KEY" Count)" "stored Count"

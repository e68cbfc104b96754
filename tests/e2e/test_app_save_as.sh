#!/usr/bin/env bash
# Save as while the settings dialog is open: the settings dialog closes at
# once and hands its hold to the save dialog, so on a one-second interval the
# wallpaper stays, the tray shows the paused icon and the copy is the picture
# shown, until the save dialog ends. The save dialog's file types, its
# default extension, and an overwrite prompt that follows AskOverWrite.
source "$(dirname "$0")/app_common.sh"
app_setup test_app_save_as

mkdir -p "$(linux_path 'C:\wall')"
app_store_settings 'C:\wall' 1000 0
running=$(icon_middle chromaweave.ico running)
paused=$(icon_middle paused.ico paused)
e2e_wait_tray
app_start
file=$(linux_path 'C:\wall\chromaweave.bmp')
mine=$(linux_path 'C:\wall\mine.bmp')
wait_for_new_file "$file" none 60
wait_for_new_file "$file" "$(file_sum "$file")" 30

app_command 100
settings=$(settings_dialog) || e2e_fail "no settings dialog"
app_command 102
save=$(save_dialog) || e2e_fail "no save dialog"
wait_for_gone "$settings" || e2e_fail "the settings dialog stayed open beside the save dialog"
wait_tray_shows "$paused" "paused icon while the save dialog is open"
held=$(file_sum "$file")
# Four intervals with the save dialog open: no change, still paused.
sleep 4
e2e_assert_eq "$held" "$(file_sum "$file")" "wallpaper while the save dialog is open"
tray_shows "$paused" || e2e_fail "the running icon came back while the save dialog is open"
e2e_screenshot save_dialog_held

e2e_assert_eq 'BMPファイル(*.bmp)
すべてのファイル' "$(e2e_drive combo-items "$save" 1136)" "file types of the save dialog"
e2e_assert_eq selection=0 "$(e2e_drive state "$save" 1136 | sed 's/.* //')" "file type chosen first"
# With "all files" chosen, a name without extension gets the default one.
e2e_drive select "$save" 1136 1 >/dev/null || e2e_fail "cannot choose the second file type"
save_as_name "$save" 'C:\wall\mine'
e2e_press "$save" 1 || e2e_fail "the save dialog did not close"
wait_for_new_file "$mine" none 10
e2e_assert_eq "$held" "$(file_sum "$mine")" "the copy saved is the picture shown"
wait_tray_shows "$running" "running icon after the save dialog"
wait_for_new_file "$file" "$held" 30

# AskOverWrite on: saving over mine.bmp asks first; Yes replaces it.
app_command 102
save=$(save_dialog) || e2e_fail "no save dialog"
save_as_name "$save" 'C:\wall\mine.bmp'
before=$(file_sum "$mine")
e2e_drive click "$save" 1 >/dev/null
prompt=$(e2e_drive wait-owned "$save" 10000) || e2e_fail "no overwrite prompt with AskOverWrite on"
e2e_screenshot overwrite_prompt
e2e_press "$prompt" 6 || e2e_fail "Yes did not close the overwrite prompt"
wait_for_gone "$save" || e2e_fail "the save dialog stayed open after Yes"
wait_for_new_file "$mine" "$before" 10

# AskOverWrite off (settings, control 217): the file is replaced silently.
app_command 100
settings=$(settings_dialog) || e2e_fail "no settings dialog"
e2e_drive button-click "$settings" 217 >/dev/null
deadline=$((SECONDS + 10))
until [ "$(e2e_drive state "$settings" 217 | cut -d' ' -f2)" = checked=0 ]; do
  [ $SECONDS -lt $deadline ] || e2e_fail "control 217 did not uncheck"
  sleep 0.1
done
e2e_press "$settings" 1 || e2e_fail "OK did not close the settings dialog"
wait_for_new_file "$file" "$(file_sum "$file")" 30
app_command 102
save=$(save_dialog) || e2e_fail "no save dialog"
save_as_name "$save" 'C:\wall\mine.bmp'
before=$(file_sum "$mine")
e2e_press "$save" 1 || e2e_fail "the save dialog asked before overwriting with AskOverWrite off"
wait_for_new_file "$mine" "$before" 10

app_command 106
app_expect_exit
e2e_assert_eq dword:0 "$(reg_value "$SETTINGS_KEY" AskOverWrite)" "stored AskOverWrite"
e2e_assert_eq '"C:\wall"' "$(reg_value "$SETTINGS_KEY" SaveDir)" "stored SaveDir"

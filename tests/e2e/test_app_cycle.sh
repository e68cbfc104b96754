#!/usr/bin/env bash
# The cycle on a one-second interval: the wallpaper changes by itself; stop
# from the menu holds it and shows the paused icon, a left click resumes it;
# save writes the numbered copy, save-as the chosen file; the About count
# follows the changes; exit restores the wallpaper and deletes the file.
source "$(dirname "$0")/app_common.sh"
app_setup test_app_cycle

convert -size 8x8 xc:'#603020' BMP3:"$(linux_path 'C:\prev.bmp')"
e2e_drive set-wallpaper 'C:\prev.bmp' >/dev/null || e2e_fail "cannot set the previous wallpaper"
mkdir -p "$(linux_path 'C:\wall')"
app_store_settings 'C:\wall' 1000 0 DeleteFile dword:1 Count dword:41
running=$(icon_middle chromaweave.ico running)
paused=$(icon_middle paused.ico paused)
e2e_wait_tray
app_start

file=$(linux_path 'C:\wall\chromaweave.bmp')
wait_for_new_file "$file" none 60
for change in 1 2; do
  wait_for_new_file "$file" "$(file_sum "$file")" 30
done
deadline=$((SECONDS + 10))
until tray_shows "$running"; do
  [ $SECONDS -lt $deadline ] || e2e_fail "the tray does not show the running icon"
  sleep 0.2
done
e2e_screenshot desktop_running

app_menu p tray_menu_running
deadline=$((SECONDS + 10))
until tray_shows "$paused"; do
  [ $SECONDS -lt $deadline ] || e2e_fail "the tray does not show the paused icon after stop"
  sleep 0.2
done
held=$(file_sum "$file")
app_command 105
about=$(wait_for_window "$DIALOG" "$ABOUT_TITLE") || e2e_fail "no About dialog"
count=$(e2e_drive text "$about" 201)
# Stopped: "change" is grayed, so choosing it does nothing, and three
# intervals pass without a change.
app_menu c
sleep 3
e2e_assert_eq "$held" "$(file_sum "$file")" "wallpaper while stopped"
e2e_assert_eq "$count" "$(e2e_drive text "$about" 201)" "count while stopped"
e2e_screenshot about_dialog
app_menu s tray_menu_stopped
copy=$(linux_path "$(printf 'C:\\wall\\chromaweave_%010u.bmp' $((count + 1)))")
wait_for_file "$copy" 10
cmp -s "$copy" "$file" || e2e_fail "the numbered copy differs from the wallpaper"

e2e_drive tray-click "$MAIN_CLASS" LEFT >/dev/null
deadline=$((SECONDS + 10))
until tray_shows "$running"; do
  [ $SECONDS -lt $deadline ] || e2e_fail "the tray does not show the running icon after resuming"
  sleep 0.2
done
wait_for_new_file "$file" "$held" 30
deadline=$((SECONDS + 20))
until [ "$(e2e_drive text "$about" 201)" -gt "$count" ]; do
  [ $SECONDS -lt $deadline ] || e2e_fail "the About count did not follow the changes"
  sleep 0.2
done
e2e_press "$about" 1 || e2e_fail "OK did not close the About dialog"

app_command 102
save=$(wait_for_window "$DIALOG" '名前を付けて保存') || e2e_fail "no save dialog"
e2e_screenshot save_dialog
e2e_drive set-text "$save" 1148 'C:\wall\mine.bmp' >/dev/null ||
  e2e_drive set-text "$save" 1152 'C:\wall\mine.bmp' >/dev/null || e2e_fail "no file name field"
e2e_press "$save" 1 || e2e_fail "the save dialog did not close"
wait_for_file "$(linux_path 'C:\wall\mine.bmp')" 10
e2e_assert_eq BM "$(head -c2 "$(linux_path 'C:\wall\mine.bmp')")" "saved copy is a BMP file"

app_menu x
app_expect_exit
e2e_assert_eq 'C:\prev.bmp' "$(desktop_wallpaper)" "wallpaper after exit"
[ ! -e "$file" ] || e2e_fail "the wallpaper file stayed although DeleteFile is on"
stored=$(reg_value "$SETTINGS_KEY" Count)
[ "${stored#dword:}" -gt "$count" ] || e2e_fail "stored Count $stored not above $count"
e2e_assert_eq '"C:\wall"' "$(reg_value "$SETTINGS_KEY" SaveDir)" "SaveDir after save-as"

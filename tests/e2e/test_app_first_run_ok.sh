#!/usr/bin/env bash
# First start confirmed: the folder is created after Yes, the first picture
# becomes the tiled desktop wallpaper; exit from the tray menu restores the
# previous wallpaper and writes the settings with the count.
# e2e-locales: ja en ja-en en-ja
source "$(dirname "$0")/app_common.sh"
app_setup test_app_first_run_ok

convert -size 8x8 xc:'#204060' BMP3:"$(linux_path 'C:\prev.bmp')"
e2e_drive set-wallpaper 'C:\prev.bmp' >/dev/null || e2e_fail "cannot set the previous wallpaper"
e2e_wait_tray

app_start
dialog=$(settings_dialog) || e2e_fail "no settings dialog on the first run"
app_check_dialog "$dialog" settings
folder=$(e2e_drive text "$dialog" 212)
folder=${folder//\\\\/\\}
case "$folder" in 'C:\users\'*'\Documents\chromaweave') ;; *) e2e_fail "default folder $folder" ;; esac
e2e_assert_eq "selection=4" "$(e2e_drive state "$dialog" 202 | sed 's/.* //')" "default preset"

e2e_drive click "$dialog" 1 >/dev/null
question=$(wait_for_window "$DIALOG" "$CAPTION_CREATE_FOLDER") || e2e_fail "no question for the folder"
e2e_check_msgbox "$question" "$CAPTION_CREATE_FOLDER" "$TEXT_CREATE_FOLDER" YES,NO 6 question
e2e_press "$question" 6 || e2e_fail "Yes did not close the question"
wait_for_gone "$dialog" || e2e_fail "the settings dialog stayed open"

file="$folder\\chromaweave.bmp"
wait_for_file "$(linux_path "$file")" 60
e2e_assert_eq 120x120 "$(bmp_size "$(linux_path "$file")")" "size of the first wallpaper"
deadline=$((SECONDS + 20))
until [ "$(desktop_wallpaper)" = "$file" ]; do
  [ $SECONDS -lt $deadline ] || e2e_fail "the desktop does not show $file"
  sleep 0.2
done
e2e_assert_eq '"1"' "$(reg_value "$DESKTOP_KEY" TileWallPaper)" "TileWallPaper"
e2e_assert_eq '"0"' "$(reg_value "$DESKTOP_KEY" WallpaperStyle)" "WallpaperStyle"

# The desktop reads its wallpaper when it starts: a second one shows it.
e2e_start view explorer /desktop=view,640x480
sleep 2
e2e_screenshot desktop_tiled
e2e_stop view

app_menu x tray_menu
app_expect_exit
e2e_assert_eq 'C:\prev.bmp' "$(desktop_wallpaper)" "wallpaper after exit"
[ -f "$(linux_path "$file")" ] || e2e_fail "the wallpaper file was deleted (DeleteFile is off)"
e2e_assert_eq dword:1 "$(reg_value "$SETTINGS_KEY" Count)" "stored Count"
e2e_assert_eq dword:600000 "$(reg_value "$SETTINGS_KEY" Interval)" "stored Interval"

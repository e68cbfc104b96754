#!/usr/bin/env bash
# The screen-size save asks for a name like save-as and writes a 24-bit BMP
# of the screen's size (the virtual desktop's 1024 x 768) whose every tile,
# from the top-left corner, is the wallpaper.
source "$(dirname "$0")/app_common.sh"
app_setup test_app_screen_save

mkdir -p "$(linux_path 'C:\wall')"
app_store_settings 'C:\wall' 3600000 2
e2e_wait_tray
app_start
file=$(linux_path 'C:\wall\chromaweave.bmp')
screen=$(linux_path 'C:\wall\screen.bmp')
wait_for_new_file "$file" none 60

app_menu e
save=$(save_dialog) || e2e_fail "no save dialog for the screen-size save"
e2e_screenshot screen_save_dialog
save_as_name "$save" 'C:\wall\screen.bmp'
e2e_press "$save" 1 || e2e_fail "the save dialog did not close"
wait_for_new_file "$screen" none 30
e2e_assert_eq 1024x768 "$(bmp_size "$screen")" "size of the screen-size save"
e2e_assert_eq 24 "$(od -An -t u2 --endian=little -j 28 -N 2 "$screen" | tr -d ' ')" "bits per pixel"
# Both as 8-bit PPM (a tiled canvas would otherwise come out with 16 bits).
convert -size 1024x768 "tile:$file" -depth 8 "$E2E_DIR/expected.ppm"
convert "$screen" -depth 8 "$E2E_DIR/actual.ppm"
cmp -s "$E2E_DIR/expected.ppm" "$E2E_DIR/actual.ppm" ||
  e2e_fail "the screen-size save is not the wallpaper repeated"
app_command 106
app_expect_exit

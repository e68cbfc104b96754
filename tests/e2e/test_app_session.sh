#!/usr/bin/env bash
# The taskbar loses the icon and comes back ("TaskbarCreated"): the icon
# returns in the current state. The session ends: WM_QUERYENDSESSION lets it
# end; once WM_ENDSESSION has been handled, the previous wallpaper is back,
# the file deleted and the settings saved, even when the process is then
# killed at once, as the end of a session does.
source "$(dirname "$0")/app_common.sh"
app_setup test_app_session

convert -size 8x8 xc:'#208040' BMP3:"$(linux_path 'C:\prev.bmp')"
e2e_drive set-wallpaper 'C:\prev.bmp' >/dev/null || e2e_fail "cannot set the previous wallpaper"
mkdir -p "$(linux_path 'C:\wall')"
app_store_settings 'C:\wall' 600000 1 DeleteFile dword:1 Count dword:20
running=$(icon_middle chromaweave.ico running)
paused=$(icon_middle paused.ico paused)
file=$(linux_path 'C:\wall\chromaweave.bmp')
e2e_wait_tray
app_start
wait_for_new_file "$file" none 60
wait_tray_shows "$running" "running icon"

# Stopped, the taskbar loses every icon and announces itself again (Wine's
# taskbar cannot be restarted on its own, so the test does both).
app_command 104
wait_tray_shows "$paused" "paused icon after stop"
e2e_drive tray-remove "$MAIN_CLASS" 1 >/dev/null || e2e_fail "cannot remove the tray icon"
deadline=$((SECONDS + 10))
while tray_shows "$paused"; do
  [ $SECONDS -lt $deadline ] || e2e_fail "the tray icon did not go"
  sleep 0.2
done
e2e_drive post "$MAIN_CLASS" TaskbarCreated 0 0 >/dev/null || e2e_fail "cannot announce the taskbar"
wait_tray_shows "$paused" "paused icon after the taskbar came back"
e2e_screenshot tray_back
app_command 104
wait_tray_shows "$running" "running icon after resuming"

e2e_assert_eq 1 "$(e2e_drive send "$MAIN_CLASS" 0x11 0 0)" "answer to WM_QUERYENDSESSION"
e2e_running chromaweave || e2e_fail "chromaweave ended on WM_QUERYENDSESSION"
e2e_drive send "$MAIN_CLASS" 0x16 1 0 >/dev/null || e2e_fail "WM_ENDSESSION was not handled"
e2e_stop chromaweave
e2e_assert_eq 'C:\prev.bmp' "$(desktop_wallpaper)" "wallpaper after the end of the session"
[ ! -e "$file" ] || e2e_fail "the wallpaper file stayed although DeleteFile is on"
e2e_assert_eq dword:21 "$(reg_value "$SETTINGS_KEY" Count)" "stored Count after the end of the session"

#!/usr/bin/env bash
# The advanced settings dialog, opened by the tray menu's item below the
# settings: its texts in the interface language; a style without a family
# for the first layer and a hotkey another program holds are refused in the
# dialog; OK registers the hotkeys (pressed through the system's input they
# change the wallpaper, go back to the previous one, and stop and resume the
# cycle), writes the Run value
# and sets a picture of the new style at once. The values survive a
# restart; a stored hotkey another program took meanwhile is reported in the
# dialog; turning the start with Windows off removes the Run value.
# e2e-locales: ja en
source "$(dirname "$0")/app_common.sh"
app_setup test_app_advanced

# Hotkey control values (key, HOTKEYF_CONTROL | HOTKEYF_ALT above it) and
# the keys to press them.
CTRL_ALT_N=$((0x064E)) CTRL_ALT_B=$((0x0642)) CTRL_ALT_P=$((0x0650)) CTRL_ALT_H=$((0x0648))
VK_CONTROL=0x11 VK_MENU=0x12

# wait_for_state DIALOG ID FIELD EXPECTED: a posted click has been handled.
wait_for_state() {
  local deadline=$((SECONDS + 10))
  until [ "$(e2e_drive state "$1" "$2" | tr ' ' '\n' | grep "^$3=")" = "$3=$4" ]; do
    [ $SECONDS -lt $deadline ] || e2e_fail "control $2 of the dialog is not $3=$4"
    sleep 0.1
  done
}

# expect_states DIALOG HOTKEYS CHECKED_IDS UNCHECKED_IDS COMPLEXITY
expect_states() {
  local id i=0 value
  for value in $2; do
    e2e_assert_eq "$value" "$(e2e_drive hotkey "$1" $((230 + i)))" "hotkey control $((230 + i))"
    i=$((i + 1))
  done
  for id in $3; do wait_for_state "$1" "$id" checked 1; done
  for id in $4; do wait_for_state "$1" "$id" checked 0; done
  e2e_assert_eq "selection=$5" "$(e2e_drive state "$1" 237 | sed 's/.* //')" "complexity"
}

# ok_refused DIALOG TEXT: OK shows this message and the dialog stays.
ok_refused() {
  e2e_drive click "$1" 1 >/dev/null
  local box
  box=$(wait_for_window "$DIALOG" "$ERROR_CAPTION") || e2e_fail "no message for: $2"
  e2e_check_msgbox "$box" "$ERROR_CAPTION" "$2" OK 1 warning
  e2e_press "$box" 1
  e2e_drive wait-window "$DIALOG" "$ADVANCED_TITLE" 1000 >/dev/null || e2e_fail "the dialog closed"
}

mkdir -p "$(linux_path 'C:\wall')"
app_store_settings 'C:\wall' 600000 1
file=$(linux_path 'C:\wall\chromaweave.bmp')
running=$(icon_middle chromaweave.ico running)
paused=$(icon_middle paused.ico paused)
e2e_start holder "$E2E_DRIVER" hold-hotkey 3 $((0x48))
wait_for_output holder held
e2e_wait_tray
app_start
wait_for_new_file "$file" none 60

app_menu d tray_menu_advanced
dialog=$(advanced_dialog) || e2e_fail "no advanced settings dialog"
e2e_drive redraw "$dialog" >/dev/null
e2e_screenshot advanced_dialog
app_check_dialog "$dialog" advanced
expect_states "$dialog" "0 0 0" "240 241 242 243 244 245 246 247 248 249" "234 235 236" 2
e2e_assert_eq visible=0 "$(e2e_drive visible "$dialog" 233)" "line of refused hotkeys"

for id in 240 241 242; do e2e_drive button-click "$dialog" $id >/dev/null; done
wait_for_state "$dialog" 242 checked 0
ok_refused "$dialog" "$TEXT_BAD_STYLE"
for id in 240 241 242; do e2e_drive button-click "$dialog" $id >/dev/null; done
wait_for_state "$dialog" 242 checked 1

e2e_drive hotkey "$dialog" 230 $CTRL_ALT_N >/dev/null
e2e_drive hotkey "$dialog" 232 $CTRL_ALT_H >/dev/null
ok_refused "$dialog" "$TEXT_HOTKEY_TAKEN"

e2e_drive hotkey "$dialog" 231 $CTRL_ALT_B >/dev/null
e2e_drive hotkey "$dialog" 232 $CTRL_ALT_P >/dev/null
for id in 234 236 246; do e2e_drive button-click "$dialog" $id >/dev/null; done
e2e_drive select "$dialog" 237 0 >/dev/null
wait_for_state "$dialog" 246 checked 0
before=$(file_sum "$file")
e2e_press "$dialog" 1 || e2e_fail "OK did not close the advanced settings dialog"
# A new style: the picture rendered in advance gives way to one of the new
# style, set at once.
wait_for_new_file "$file" "$before" 30
program="\"Z:${E2E_MAIN//\//\\}\""
e2e_assert_eq "\"$program\"" "$(reg_value "$RUN_KEY" chromaweave)" "Run value"

before=$(file_sum "$file")
e2e_drive send-keys $VK_CONTROL $VK_MENU $((0x4E)) >/dev/null || e2e_fail "keys not sent"
wait_for_new_file "$file" "$before" 30
before=$(file_sum "$file")
e2e_drive send-keys $VK_CONTROL $VK_MENU $((0x42)) >/dev/null
wait_for_new_file "$file" "$before" 30
e2e_drive send-keys $VK_CONTROL $VK_MENU $((0x50)) >/dev/null
wait_tray_shows "$paused" "paused icon after the stop hotkey"
e2e_drive send-keys $VK_CONTROL $VK_MENU $((0x50)) >/dev/null
wait_tray_shows "$running" "running icon after the resume hotkey"

app_command 106
app_expect_exit
for value in HotkeyChange=dword:$CTRL_ALT_N HotkeyBack=dword:$CTRL_ALT_B HotkeyStop=dword:$CTRL_ALT_P \
  StartWithWindows=dword:1 HoldOnBattery=dword:1 Complexity=dword:0 ExcludedFamilies=dword:64; do
  e2e_assert_eq "${value#*=}" "$(reg_value "$SETTINGS_KEY" "${value%%=*}")" "stored ${value%%=*}"
done

# Another program takes the stop hotkey while chromaweave is not running.
e2e_stop holder
e2e_start holder "$E2E_DRIVER" hold-hotkey 3 $((0x50))
wait_for_output holder held
app_start
app_command 120
dialog=$(advanced_dialog) || e2e_fail "no advanced settings dialog after the restart"
expect_states "$dialog" "$CTRL_ALT_N $CTRL_ALT_B $CTRL_ALT_P" "234 236 240 241 242 243 244 245 247 248 249" \
  "235 246" 0
e2e_assert_eq visible=1 "$(e2e_drive visible "$dialog" 233)" "line of refused hotkeys"
e2e_drive redraw "$dialog" >/dev/null
e2e_screenshot advanced_hotkey_refused
ok_refused "$dialog" "$TEXT_HOTKEY_TAKEN"
e2e_drive hotkey "$dialog" 232 0 >/dev/null
e2e_drive button-click "$dialog" 234 >/dev/null
wait_for_state "$dialog" 234 checked 0
e2e_press "$dialog" 1 || e2e_fail "OK did not close the advanced settings dialog"
e2e_assert_eq "" "$(reg_value "$RUN_KEY" chromaweave)" "Run value after turning it off"
app_command 106
app_expect_exit
e2e_assert_eq "" "$(reg_value "$SETTINGS_KEY" StartWithWindows)" "StartWithWindows at its default"
e2e_assert_eq "" "$(reg_value "$SETTINGS_KEY" HotkeyStop)" "HotkeyStop after clearing it"
e2e_stop holder

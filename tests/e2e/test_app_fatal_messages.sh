#!/usr/bin/env bash
# Messages that end the program. 346: another kind of object holds the
# mutex's name, so the mutex cannot be created. 341: the desktop refuses the
# wallpaper (its registry key cannot be written); the box stays open with
# the main window still there and nothing changing meanwhile, and OK ends
# the program.
source "$(dirname "$0")/app_common.sh"
app_setup test_app_fatal_messages

e2e_start holder "$E2E_DRIVER" hold-event 'chromaweave mutex'
wait_for_output holder held
e2e_start chromaweave "$E2E_MAIN"
box=$(wait_for_window "$DIALOG" "$ERROR_CAPTION") || e2e_fail "no message without the mutex"
e2e_check_msgbox "$box" "$ERROR_CAPTION" 'Mutex が作成できません。' OK 1 other
e2e_press "$box" 1
app_expect_exit
e2e_stop holder
e2e_reg_exists "$SETTINGS_KEY" && e2e_fail "settings were written without the mutex"

mkdir -p "$(linux_path 'C:\wall')"
app_store_settings 'C:\wall' 1000 0
e2e_drive reg-deny-write "$DESKTOP_KEY" >/dev/null || e2e_fail "cannot lock the desktop key"
app_start
box=$(wait_for_window "$DIALOG" "$ERROR_CAPTION" 60000) || e2e_fail "no message for the wallpaper not set"
e2e_check_msgbox "$box" "$ERROR_CAPTION" '壁紙が設定できません。' OK 1 other
e2e_assert_eq owner=none "$(e2e_drive msgbox "$box" | sed -n 6p)" "owner of the message box"
e2e_screenshot message_not_set
file=$(linux_path 'C:\wall\chromaweave.bmp')
written=$(file_sum "$file")
# Three intervals with the box open: it stays, and nothing is written.
sleep 3
e2e_drive wait-window "$DIALOG" "$ERROR_CAPTION" 1000 >/dev/null || e2e_fail "the message box closed by itself"
wait_for_window "$MAIN_CLASS" - 1000 >/dev/null || e2e_fail "the main window went before the message"
e2e_assert_eq "$written" "$(file_sum "$file")" "wallpaper file while the message is open"
e2e_press "$box" 1
app_expect_exit
e2e_assert_eq dword:0 "$(reg_value "$SETTINGS_KEY" Count)" "stored Count"

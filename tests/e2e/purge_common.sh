# What the chromaweave_purge tests share: its texts as the user sees them
# (UTF-8, CR LF written as \r\n) in the language of the test's code page,
# the keys, and running the tool.
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

if [ "$E2E_LANGUAGE" = ja ]; then
  PURGE_CAPTION='chromaweave 設定情報の削除'
  PURGE_RUNNING='起動している chromaweave を終了させてから実行してください。'
  PURGE_NO_SETTINGS='設定情報はありません。'
  PURGE_QUESTION='chromaweave の設定情報を削除してもいいですか?\r\n(現在 chromaweave を起動している場合は、[OK] を押す前に終了させてください)'
  PURGE_CANNOT_DELETE='レジストリのキーを削除できません。'
  PURGE_DELETED='chromaweave の設定情報を削除しました。\r\nアンインストールするにはフォルダごと削除してください。'
else
  PURGE_CAPTION='Deleting the chromaweave settings'
  PURGE_RUNNING='Please exit the running chromaweave before running this.'
  PURGE_NO_SETTINGS='There are no settings.'
  PURGE_QUESTION='Do you want to delete the chromaweave settings?\r\n(If chromaweave is running now, exit it before you press [OK].)'
  PURGE_CANNOT_DELETE='The registry key cannot be deleted.'
  PURGE_DELETED='The chromaweave settings were deleted.\r\nTo uninstall, delete the whole folder.'
fi
SETTINGS_KEY='Software\kelpworks\chromaweave'
MAKER_KEY='Software\kelpworks'
BOX='#32770'

purge_setup() {
  e2e_setup "$1"
  [ -f "$E2E_PURGE" ] || e2e_fail "missing $E2E_PURGE"
}

# Starts the tool; PURGE_BOX is the handle of its first message box.
purge_start() {
  e2e_start purge "$E2E_PURGE"
  PURGE_BOX=$(wait_for_window "$BOX" "${1:-$PURGE_CAPTION}") || e2e_fail "no message box from the tool"
}

# purge_answer HWND BUTTON_ID: presses a button and waits for the box to go.
purge_answer() {
  e2e_press "$1" "$2" || e2e_fail "button $2 did not close the message box"
}

# The tool must end with code 0 and no further message box.
purge_expect_end() {
  wait_for_exit purge 20
  e2e_assert_eq 0 "$E2E_EXIT_CODE" "exit code of chromaweave_purge"
}

# A settings key with values and subkeys three levels deep.
make_settings() {
  e2e_reg_create "$SETTINGS_KEY\\History\\2024\\January" "$SETTINGS_KEY\\History\\2024\\February" \
    "$SETTINGS_KEY\\History\\2023" "$SETTINGS_KEY\\Cache\\Deep\\Deeper\\Deepest"
  e2e_reg_set "$SETTINGS_KEY" Count dword:7 "$SETTINGS_KEY" WallpaperDir 'sz:C:\users\wall' \
    "$SETTINGS_KEY\\History\\2024\\January" Seen dword:1
}

# Starts chromaweave (the stand-in holding its mutex until it is built, or
# with CW_E2E_MAIN=holder) and waits until it holds the mutex.
start_chromaweave() {
  if e2e_main_is_real; then
    e2e_start chromaweave "$E2E_MAIN"
    wait_for_window "chromaweave main window" - >/dev/null || e2e_fail "chromaweave did not start"
  else
    e2e_start chromaweave "$E2E_DRIVER" hold-mutex "chromaweave mutex" 120000
    wait_for_output chromaweave held
  fi
}

# purge_run_to_question: starts the tool and checks its question.
purge_run_to_question() {
  purge_start
  e2e_check_msgbox "$PURGE_BOX" "$PURGE_CAPTION" "$PURGE_QUESTION" OK,CANCEL 2 question
}

# purge_delete_all: the whole successful run, from the question to the end.
purge_delete_all() {
  purge_run_to_question
  purge_answer "$PURGE_BOX" 1
  local done_box
  done_box=$(wait_for_window "$BOX" "$PURGE_CAPTION") || e2e_fail "no message after deleting"
  e2e_check_msgbox "$done_box" "$PURGE_CAPTION" "$PURGE_DELETED" OK 1 information
  purge_answer "$done_box" 1
  purge_expect_end
  ! e2e_reg_exists "$SETTINGS_KEY" || e2e_fail "the settings key is still there"
}

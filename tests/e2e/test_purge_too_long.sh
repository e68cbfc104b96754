#!/usr/bin/env bash
# A subkey whose full path does not fit the tool's 256-byte buffer: the tool
# reports that the key cannot be deleted (never success), and the subkey
# that does not fit is still there.
# e2e-locales: ja en ja-en en-ja
source "$(dirname "$0")/purge_common.sh"
purge_setup test_purge_too_long

long=$(printf 'a%.0s' $(seq 200))
longer=$(printf 'b%.0s' $(seq 100))
make_settings
e2e_reg_create "$SETTINGS_KEY\\$long\\$longer"
purge_run_to_question
purge_answer "$PURGE_BOX" 1
# The failure message has no caption of its own: the system's default one.
fail_box=$(wait_for_window "$BOX" -) || e2e_fail "no message after the failed deletion"
e2e_check_msgbox "$fail_box" "$(e2e_drive text "$fail_box")" "$PURGE_CANNOT_DELETE" OK 1 warning
caption=$(e2e_drive text "$fail_box")
[ "$caption" != "$PURGE_CAPTION" ] || e2e_fail "the failure message carries the tool's caption"
e2e_screenshot cannot_delete
purge_answer "$fail_box" 1
purge_expect_end
e2e_reg_exists "$SETTINGS_KEY\\$long\\$longer" || e2e_fail "the over-long subkey vanished"
e2e_reg_exists "$MAKER_KEY" || e2e_fail "the maker key was deleted"

#!/usr/bin/env bash
# While chromaweave runs the tool only asks to exit it first and leaves the
# settings alone.
# e2e-locales: ja en ja-en en-ja
source "$(dirname "$0")/purge_common.sh"
purge_setup test_purge_running

make_settings
before=$(e2e_reg_dump "$MAKER_KEY")
start_chromaweave
purge_start
e2e_check_msgbox "$PURGE_BOX" "$PURGE_CAPTION" "$PURGE_RUNNING" OK 1 information
e2e_screenshot running
purge_answer "$PURGE_BOX" 1
purge_expect_end
e2e_assert_eq "$before" "$(e2e_reg_dump "$MAKER_KEY")" "settings after the refusal"

#!/usr/bin/env bash
# Without a settings key the tool only says so and deletes nothing, also not
# an empty maker key.
# e2e-locales: ja en ja-en en-ja
source "$(dirname "$0")/purge_common.sh"
purge_setup test_purge_no_settings

e2e_reg_create "$MAKER_KEY"
purge_start
e2e_check_msgbox "$PURGE_BOX" "$PURGE_CAPTION" "$PURGE_NO_SETTINGS" OK 1 information
e2e_screenshot no_settings
purge_answer "$PURGE_BOX" 1
purge_expect_end
e2e_reg_exists "$MAKER_KEY" || e2e_fail "the maker key was deleted"

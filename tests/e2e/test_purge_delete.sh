#!/usr/bin/env bash
# OK deletes the settings key with all its nested subkeys, and the maker key
# too when nothing else is left in it.
# e2e-locales: ja en ja-en en-ja
source "$(dirname "$0")/purge_common.sh"
purge_setup test_purge_delete

make_settings
e2e_reg_exists "$SETTINGS_KEY\\Cache\\Deep\\Deeper\\Deepest" || e2e_fail "test keys not made"
purge_delete_all
! e2e_reg_exists "$MAKER_KEY" || e2e_fail "the empty maker key was kept"
e2e_reg_exists Software || e2e_fail "Software was deleted"

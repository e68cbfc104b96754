#!/usr/bin/env bash
# A maker key that still holds another product's key, or a value, is kept
# as it is; only the settings key goes.
source "$(dirname "$0")/purge_common.sh"
purge_setup test_purge_maker_kept

e2e_log "another product's key under the maker key"
make_settings
e2e_reg_set "$MAKER_KEY\\otherapp" Size dword:3
purge_delete_all
e2e_assert_eq "$(printf '[%s]\n[%s\\otherapp]\nSize=dword:3' "$MAKER_KEY" "$MAKER_KEY")" \
  "$(e2e_reg_dump "$MAKER_KEY")" "maker key with another product"

e2e_log "a value in the maker key"
e2e_reg_delete "$MAKER_KEY\\otherapp"
make_settings
e2e_reg_set "$MAKER_KEY" Owner sz:kelpworks
purge_delete_all
e2e_assert_eq "$(printf '[%s]\nOwner="kelpworks"' "$MAKER_KEY")" \
  "$(e2e_reg_dump "$MAKER_KEY")" "maker key with a value"

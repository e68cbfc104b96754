#!/usr/bin/env bash
# chromaweave_purge removes the Run value that starts chromaweave with
# Windows: with the settings key, and alone when there is no settings key;
# a value of that name that starts another program is not chromaweave's.
# e2e-locales: ja en
source "$(dirname "$0")/purge_common.sh"
purge_setup test_purge_run_value

RUN_KEY='Software\Microsoft\Windows\CurrentVersion\Run'
ours='sz:"C:\Program Files\cw\chromaweave.exe"'

make_settings
e2e_reg_set "$RUN_KEY" chromaweave "$ours" "$RUN_KEY" OtherProgram 'sz:C:\other\other.exe'
purge_delete_all
e2e_assert_eq "[$RUN_KEY]
OtherProgram=\"C:\\other\\other.exe\"" "$(e2e_reg_dump "$RUN_KEY")" "Run key after deleting with the key"

e2e_reg_set "$RUN_KEY" chromaweave "$ours"
purge_delete_all
e2e_assert_eq "[$RUN_KEY]
OtherProgram=\"C:\\other\\other.exe\"" "$(e2e_reg_dump "$RUN_KEY")" "Run key after deleting without the key"

e2e_reg_set "$RUN_KEY" chromaweave 'sz:C:\other\weaver.exe'
purge_start
e2e_check_msgbox "$PURGE_BOX" "$PURGE_CAPTION" "$PURGE_NO_SETTINGS" OK 1 information
purge_answer "$PURGE_BOX" 1
purge_expect_end
e2e_assert_eq '"C:\other\weaver.exe"' "$(e2e_reg_dump "$RUN_KEY" | sed -n 's/^chromaweave=//p')" \
  "another program's value of the name"

#!/usr/bin/env bash
# Cancel, Escape and closing the question all end the tool without deleting.
source "$(dirname "$0")/purge_common.sh"
purge_setup test_purge_cancel

make_settings
before=$(e2e_reg_dump "$MAKER_KEY")
for way in cancel escape close; do
  e2e_log "answering the question by $way"
  purge_run_to_question
  case $way in
    cancel) purge_answer "$PURGE_BOX" 2 ;;
    escape) e2e_drive key "$PURGE_BOX" 27 >/dev/null ;;
    close) e2e_drive close "$PURGE_BOX" >/dev/null ;;
  esac
  wait_for_gone "$PURGE_BOX" || e2e_fail "$way did not close the question"
  purge_expect_end
  e2e_assert_eq "$before" "$(e2e_reg_dump "$MAKER_KEY")" "settings after $way"
done

#!/usr/bin/env bash
# While the question is open the tool owns chromaweave's mutex: chromaweave
# started meanwhile ends at once (with code 0), and nothing is deleted.
source "$(dirname "$0")/purge_common.sh"
purge_setup test_purge_guard

make_settings
before=$(e2e_reg_dump "$MAKER_KEY")
purge_run_to_question
if e2e_main_is_real; then
  e2e_start chromaweave "$E2E_MAIN"
  wait_for_exit chromaweave 20
  e2e_assert_eq 0 "$E2E_EXIT_CODE" "exit code of the second chromaweave"
else
  e2e_start chromaweave "$E2E_DRIVER" hold-mutex "chromaweave mutex" 60000
  wait_for_exit chromaweave 20
  e2e_assert_eq 3 "$E2E_EXIT_CODE" "exit code of the mutex stand-in"
  grep -q exists "$E2E_ART/chromaweave.log" || e2e_fail "the stand-in did not see the mutex"
fi
e2e_running purge || e2e_fail "the tool ended while its question was open"
purge_answer "$PURGE_BOX" 2
purge_expect_end
e2e_assert_eq "$before" "$(e2e_reg_dump "$MAKER_KEY")" "settings after the question"

#!/usr/bin/env bash
# Runs every tests/e2e/test_*.sh, each in its own fresh Wine prefix and X
# display, one after the other. Logs and screenshots stay under
# build/e2e/artifacts/. The last line is "N passed, N failed"; any failure
# makes the exit code non-zero. Arguments narrow the run to matching names.
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
out=${CW_E2E_OUT:-$root/build/e2e}
case "$out" in /*) ;; *) out=$root/$out ;; esac
per_test_limit=${CW_E2E_TEST_TIMEOUT:-150}

rm -rf "$out/artifacts" "$out/template"
mkdir -p "$out/artifacts"
# One prefix template per run; every test copies it.
bash -c "source '$here/lib.sh' && e2e_make_template" || { echo "0 passed, 1 failed"; exit 1; }

passed=0
failed=0
failures=()
for t in "$here"/test_*.sh; do
  name=$(basename "$t" .sh)
  if [ $# -gt 0 ]; then
    match=0
    for want in "$@"; do [[ $name == *$want* ]] && match=1; done
    [ $match -eq 1 ] || continue
  fi
  mkdir -p "$out/artifacts/$name"
  start=$SECONDS
  # A test that hangs is stopped; its own trap still cleans up on TERM.
  if timeout -k 10 "$per_test_limit" bash "$t" >"$out/artifacts/$name.log" 2>&1; then
    passed=$((passed + 1))
    echo "PASS  $name ($((SECONDS - start)) s)"
  else
    failed=$((failed + 1))
    failures+=("$name")
    echo "FAIL  $name ($((SECONDS - start)) s) — log: $out/artifacts/$name.log"
    tail -n 15 "$out/artifacts/$name.log" | sed 's/^/    /'
  fi
done
echo "$passed passed, $failed failed"
[ $failed -eq 0 ]

#!/usr/bin/env bash
# Runs every tests/e2e/test_*.sh, each in its own fresh Wine prefix and X
# display, one after the other. A test runs in each locale its
# "# e2e-locales:" line names (ja, en, ja-en, en-ja: see lib.sh), in the
# Japanese one when it has no such line; outside Japanese its name carries
# the locale (test_x.en). Logs and
# screenshots stay under build/e2e/artifacts/. The last line is "N passed,
# N failed"; any failure makes the exit code non-zero. Arguments narrow the
# run to matching names; CW_E2E_LOCALES (e.g. "ja") to those locales.
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
out=${CW_E2E_OUT:-$root/build/e2e}
case "$out" in /*) ;; *) out=$root/$out ;; esac
per_test_limit=${CW_E2E_TEST_TIMEOUT:-150}

# The runs: "SCRIPT LOCALE NAME" a line.
runs=()
for t in "$here"/test_*.sh; do
  base=$(basename "$t" .sh)
  locales=$(sed -n 's/^# e2e-locales: *//p' "$t" | head -n1)
  for locale in ${locales:-ja}; do
    if [ -n "${CW_E2E_LOCALES:-}" ] && [[ " $CW_E2E_LOCALES " != *" $locale "* ]]; then
      continue
    fi
    name=$base
    [ "$locale" = ja ] || name=$base.$locale
    if [ $# -gt 0 ]; then
      match=0
      for want in "$@"; do [[ $name == *$want* ]] && match=1; done
      [ $match -eq 1 ] || continue
    fi
    runs+=("$t $locale $name")
  done
done

rm -rf "$out/artifacts" "$out/template"
mkdir -p "$out/artifacts"
# One prefix template per language of the run; every test copies its own.
for locale in $(printf '%s\n' "${runs[@]}" | cut -d' ' -f2 | sed 's/-.*//' | sort -u); do
  CW_E2E_LOCALE=$locale bash -c "source '$here/lib.sh' && e2e_make_template" ||
    { echo "0 passed, 1 failed"; exit 1; }
done

passed=0
failed=0
for run in "${runs[@]}"; do
  read -r t locale name <<<"$run"
  mkdir -p "$out/artifacts/$name"
  start=$SECONDS
  # A test that hangs is stopped; its own trap still cleans up on TERM.
  if CW_E2E_LOCALE=$locale timeout -k 10 "$per_test_limit" bash "$t" >"$out/artifacts/$name.log" 2>&1; then
    passed=$((passed + 1))
    echo "PASS  $name ($((SECONDS - start)) s)"
  else
    failed=$((failed + 1))
    echo "FAIL  $name ($((SECONDS - start)) s) — log: $out/artifacts/$name.log"
    tail -n 15 "$out/artifacts/$name.log" | sed 's/^/    /'
  fi
done
echo "$passed passed, $failed failed"
[ $failed -eq 0 ]

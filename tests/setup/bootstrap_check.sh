#!/usr/bin/env bash
# scripts/bootstrap --check must name exactly the tool that is missing and
# fail: each case runs it with a PATH that hides one tool (a folder of links
# to everything on the real PATH but that one), a stand-in that is not the
# real tool, or a locale the machine lacks. With nothing hidden it passes
# quietly, which shows that the links themselves lose nothing.
#   tests/setup/bootstrap_check.sh SOURCE_DIR
set -uo pipefail
root=${1:-$(cd "$(dirname "$0")/../.." && pwd)}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Links to every command of PATH, the first of each name.
mkdir -p "$work/bin" "$work/aside"
IFS=: read -r -a dirs <<<"$PATH"
for d in "${dirs[@]}"; do
  [ -d "$d" ] && ln -s "$d"/* "$work/bin/" 2>/dev/null
done

failures=0
# expect NAME HIDDEN [ENV...]: runs the check with HIDDEN taken off PATH and
# expects NAME alone named (no NAME: a quiet pass).
expect() {
  local name=$1 hidden=$2
  shift 2
  if [ -n "$hidden" ]; then
    mv "$work/bin/$hidden" "$work/aside/"
    if [ "$hidden" = convert ]; then  # a convert that is not ImageMagick's
      printf '#!/bin/sh\necho "Version: a stand-in"\n' >"$work/bin/convert"
      chmod +x "$work/bin/convert"
    fi
  fi
  local out status named
  out=$(env "$@" PATH="$work/bin" bash "$root/scripts/bootstrap" --check 2>&1)
  status=$?
  if [ -n "$hidden" ]; then
    rm -f "$work/bin/$hidden"
    mv "$work/aside/$hidden" "$work/bin/"
  fi
  named=$(sed -n 's/^bootstrap: missing \([^ ]*\) .*/\1/p' <<<"$out" | tr '\n' ' ')
  if [ -z "$name" ]; then
    [ $status -eq 0 ] && [ -z "$out" ] && return
  else
    [ $status -ne 0 ] && [ "$named" = "$name " ] && return
  fi
  echo "FAIL: hiding '$hidden' $*: exit $status, named '$named', expected '$name'"
  sed 's/^/    /' <<<"$out"
  failures=$((failures + 1))
}

expect "" ""
for tool in wineserver x86_64-w64-mingw32-windres Xvfb compare; do
  expect "$tool" "$tool"
done
expect convert convert
expect xx_XX.UTF-8 "" CW_WINE_LOCALE=xx_XX.UTF-8
expect yy_YY.UTF-8 "" CW_WINE_MESSAGES=yy_YY.UTF-8
[ $failures -eq 0 ] && echo "bootstrap --check names what is missing"
exit $((failures > 0))

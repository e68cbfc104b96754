# Shared functions of the end-to-end tests: each test sources this file, calls
# e2e_setup NAME, drives the Windows programs under Wine and checks results.
# Every wait has a deadline; cleanup runs on every exit, failure included.
#
# Environment:
#   CW_E2E_BUILD  the MinGW build folder holding the programs (default build/mingw)
#   CW_E2E_OUT    where prefixes and artifacts go (default build/e2e); give each
#                 engineer running the suite at the same time a folder of their own
#   CW_E2E_MAIN   "holder" forces the mutex stand-in instead of chromaweave.exe
#   CW_E2E_LOCALE the locale of the Wine processes: ja (default), en, or split
#                 as CODEPAGE-INTERFACE: ja-en (Japanese code page, English
#                 interface language), en-ja (the reverse)
set -euo pipefail

E2E_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
E2E_BUILD=${CW_E2E_BUILD:-$E2E_ROOT/build/mingw}
case "$E2E_BUILD" in /*) ;; *) E2E_BUILD=$E2E_ROOT/$E2E_BUILD ;; esac
E2E_OUT=${CW_E2E_OUT:-$E2E_ROOT/build/e2e}
case "$E2E_OUT" in /*) ;; *) E2E_OUT=$E2E_ROOT/$E2E_OUT ;; esac
E2E_DRIVER=$E2E_BUILD/tests/e2e/driver/cwdrive.exe
E2E_PURGE=$E2E_BUILD/purge/chromaweave_purge.exe
E2E_MAIN=$E2E_BUILD/app/win32/chromaweave.exe

# Wine's programs, run in the test's locale: LC_CTYPE gives Wine its ANSI
# code page (932 for Japanese, 1252 for English), LC_MESSAGES its interface
# language. The test scripts themselves keep the user's locale.
E2E_LOCALE=${CW_E2E_LOCALE:-ja}
case $E2E_LOCALE in
  ja | en | ja-en | en-ja) ;;
  *) echo "e2e: CW_E2E_LOCALE must be ja, en, ja-en or en-ja, not $E2E_LOCALE" >&2; exit 1 ;;
esac
e2e_locale_of() { if [ "$1" = ja ]; then echo ja_JP.UTF-8; else echo en_US.UTF-8; fi; }
CW_WINE_CTYPE=$(e2e_locale_of "${E2E_LOCALE%-*}")
CW_WINE_MESSAGES=$(e2e_locale_of "${E2E_LOCALE#*-}")
CW_WINE_LOCALE=$CW_WINE_CTYPE
source "$E2E_ROOT/scripts/wine-env.sh"
export WINEDEBUG=-all
cw_wine_setup || exit 1
# The language the programs speak: the code page's, ja or en.
E2E_LANGUAGE=$(cw_wine_language)
# One prefix template per language: its fonts show that language.
E2E_TEMPLATE=$E2E_OUT/template/$E2E_LANGUAGE/prefix

declare -A E2E_PIDS=()
E2E_EXIT_CODE=
E2E_XVFB_PID=

e2e_log() { echo "[$(date +%H:%M:%S)] $*"; }

e2e_fail() {
  echo "FAIL: $*" >&2
  exit 1
}

# e2e_assert_eq EXPECTED ACTUAL WHAT
e2e_assert_eq() {
  if [ "$1" != "$2" ]; then
    printf 'FAIL: %s\n  expected: %s\n  actual:   %s\n' "$3" "$1" "$2" >&2
    exit 1
  fi
}

# Makes the prefix every test of the language copies: booted once, dialog
# fonts mapped to installed fonts of the language (scripts/wine-env.sh), user
# folders as real folders (a fresh prefix links Documents and the others to
# the home folder).
e2e_make_template() {
  mkdir -p "$E2E_OUT/template/$E2E_LANGUAGE"
  (
    flock 9
    [ -f "$E2E_TEMPLATE/.ready" ] && exit 0
    rm -rf "$E2E_TEMPLATE"
    export WINEPREFIX=$E2E_TEMPLATE
    e2e_log "making the Wine prefix template ($E2E_LANGUAGE)"
    "${CW_WINEBOOT[@]}" -i >/dev/null 2>&1 || true
    cw_wine_map_fonts
    # Every program runs inside one Wine virtual desktop named "shell" (with
    # taskbar and tray). Without a window manager, top-level X windows make
    # Wine wait about two seconds whenever a window is hidden.
    "${CW_WINE[@]}" reg add 'HKCU\Software\Wine\Explorer' /v Desktop /t REG_SZ /d shell /f \
      >/dev/null 2>&1
    "${CW_WINE[@]}" reg add 'HKCU\Software\Wine\Explorer\Desktops' /v shell /t REG_SZ \
      /d 1024x768 /f >/dev/null 2>&1
    "${CW_WINESERVER[@]}" -w
    local link
    for link in "$E2E_TEMPLATE"/drive_c/users/*/*; do
      if [ -L "$link" ]; then
        rm "$link"
        mkdir "$link"
      fi
    done
    [ -f "$E2E_TEMPLATE/system.reg" ] || { echo "e2e: wineboot failed" >&2; exit 1; }
    touch "$E2E_TEMPLATE/.ready"
  ) 9>"$E2E_OUT/template/$E2E_LANGUAGE.lock"
}

# A copy of the template. The program files (almost all of its 700 MB) are
# hard links, since Wine never writes to them; every other file (registry,
# ini files) is a real copy.
e2e_copy_prefix() {
  cp -al "$E2E_TEMPLATE" "$1"
  local f
  while IFS= read -r -d '' f; do
    cp -p --remove-destination "$E2E_TEMPLATE/${f#"$1"/}" "$f"
  done < <(find "$1" -type f ! \( -iname '*.dll' -o -iname '*.exe' -o -iname '*.drv' \
    -o -iname '*.sys' -o -iname '*.ocx' -o -iname '*.cpl' -o -iname '*.acm' -o -iname '*.tlb' \
    -o -iname '*.ax' -o -iname '*.nls' -o -iname '*.ttf' -o -iname '*.ds' \) -print0)
}

# e2e_setup NAME: fresh prefix under build/e2e/NAME, a virtual X display,
# a persistent wineserver, and the cleanup trap. Outside the Japanese locale
# the locale is part of the name (NAME.en, NAME.ja-en, ...).
e2e_setup() {
  E2E_NAME=$1
  [ "$E2E_LOCALE" = ja ] || E2E_NAME+=.$E2E_LOCALE
  E2E_DIR=$E2E_OUT/$E2E_NAME
  E2E_ART=$E2E_OUT/artifacts/$E2E_NAME
  [ -f "$E2E_DRIVER" ] || e2e_fail "missing $E2E_DRIVER (build the mingw preset)"
  e2e_make_template
  rm -rf "$E2E_DIR" "$E2E_ART"
  mkdir -p "$E2E_DIR" "$E2E_ART"
  e2e_copy_prefix "$E2E_DIR/prefix"
  export WINEPREFIX=$E2E_DIR/prefix
  trap e2e_cleanup EXIT
  trap 'exit 130' INT TERM
  e2e_start_xvfb
  "${CW_WINESERVER[@]}" -p
  e2e_start_driver
  e2e_log "setup done: prefix $WINEPREFIX, display $DISPLAY, locale $E2E_LOCALE"
}

e2e_start_xvfb() {
  local fdfile=$E2E_DIR/display
  : >"$fdfile"
  # -displayfd picks a free display and writes its number once it listens.
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$fdfile" >"$E2E_ART/xvfb.log" 2>&1 &
  E2E_XVFB_PID=$!
  local deadline=$((SECONDS + 15))
  while [ ! -s "$fdfile" ]; do
    kill -0 "$E2E_XVFB_PID" 2>/dev/null || e2e_fail "Xvfb did not start"
    [ $SECONDS -lt $deadline ] || e2e_fail "Xvfb gave no display number in time"
    sleep 0.05
  done
  export DISPLAY=:$(head -n1 "$fdfile")
}

e2e_cleanup() {
  local status=$?
  trap - EXIT
  set +e
  if [ $status -ne 0 ] && [ -n "${DISPLAY:-}" ]; then
    e2e_screenshot failure >/dev/null 2>&1
    timeout 10 "${CW_WINE[@]}" "$E2E_DRIVER" list-windows >"$E2E_ART/windows.txt" 2>&1
  fi
  [ -n "${E2E_DRIVE_IN:-}" ] && exec {E2E_DRIVE_IN}>&- {E2E_DRIVE_OUT}<&-
  local name
  for name in "${!E2E_PIDS[@]}"; do
    kill "${E2E_PIDS[$name]}" 2>/dev/null
  done
  if [ -n "${WINEPREFIX:-}" ]; then
    "${CW_WINESERVER[@]}" -k 2>/dev/null
    "${CW_WINESERVER[@]}" -w 2>/dev/null
  fi
  for name in "${!E2E_PIDS[@]}"; do
    wait "${E2E_PIDS[$name]}" 2>/dev/null
  done
  if [ -n "$E2E_XVFB_PID" ]; then
    kill "$E2E_XVFB_PID" 2>/dev/null
    wait "$E2E_XVFB_PID" 2>/dev/null
  fi
  if [ $status -eq 0 ]; then
    rm -rf "$E2E_DIR"  # the prefix is big; artifacts stay
    echo "PASS: $E2E_NAME"
  else
    echo "FAIL: $E2E_NAME (artifacts in $E2E_ART)"
  fi
  exit $status
}

# e2e_wine ARGS...: a Windows program in the foreground ("$E2E_WINE" ARGS
# calls it too).
e2e_wine() { "${CW_WINE[@]}" "$@"; }
E2E_WINE=e2e_wine

# cwdrive runs as one server process per test: a Wine start per command
# would cost about a second each.
e2e_start_driver() {
  mkfifo "$E2E_DIR/drive.in" "$E2E_DIR/drive.out"
  "${CW_WINE[@]}" "$E2E_DRIVER" serve <"$E2E_DIR/drive.in" >"$E2E_DIR/drive.out" \
    2>>"$E2E_ART/cwdrive.log" &
  E2E_PIDS[cwdrive]=$!
  exec {E2E_DRIVE_IN}>"$E2E_DIR/drive.in" {E2E_DRIVE_OUT}<"$E2E_DIR/drive.out"
}

# e2e_drive COMMAND ARGS...: one cwdrive command (see cwdrive usage); prints
# its output and returns its exit code.
e2e_drive() {
  local IFS=$'\t' line
  printf '%s\n' "$*" >&"$E2E_DRIVE_IN"
  while IFS= read -r -t 120 line <&"$E2E_DRIVE_OUT"; do
    line=${line%$'\r'}
    if [[ $line == $'\x1e'* ]]; then
      return "${line#$'\x1e'}"
    fi
    printf '%s\n' "$line"
  done
  e2e_fail "cwdrive did not answer $1"
}

# e2e_start NAME EXE ARGS...: starts a Windows program in the background;
# its output goes to artifacts/NAME.log.
e2e_start() {
  local name=$1
  shift
  "${CW_WINE[@]}" "$@" >"$E2E_ART/$name.log" 2>&1 &
  E2E_PIDS[$name]=$!
}

e2e_running() { kill -0 "${E2E_PIDS[$1]}" 2>/dev/null; }

# wait_for_exit NAME [SECONDS]: waits for a program started with e2e_start;
# its exit code lands in E2E_EXIT_CODE.
wait_for_exit() {
  local name=$1 deadline=$((SECONDS + ${2:-20})) pid=${E2E_PIDS[$1]}
  while kill -0 "$pid" 2>/dev/null; do
    [ $SECONDS -lt $deadline ] || e2e_fail "$name did not exit in time"
    sleep 0.05
  done
  E2E_EXIT_CODE=0
  wait "$pid" || E2E_EXIT_CODE=$?
  unset "E2E_PIDS[$name]"
}

# e2e_stop NAME: kills a program started with e2e_start (for stand-ins).
e2e_stop() {
  local pid=${E2E_PIDS[$1]}
  kill "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
  unset "E2E_PIDS[$1]"
}

# wait_for_window CLASS|- TITLE|- [MS]: prints the top-level window's handle.
wait_for_window() { e2e_drive wait-window "$1" "$2" "${3:-20000}"; }

# e2e_press HWND CONTROL_ID: presses a dialog button, waits for the dialog to go.
e2e_press() { e2e_drive click "$1" "$2" "${3:-20000}" >/dev/null; }

# wait_for_gone HWND [MS]
wait_for_gone() { e2e_drive wait-gone "$1" "${2:-20000}" >/dev/null; }

# wait_for_file PATH [SECONDS]
wait_for_file() {
  local deadline=$((SECONDS + ${2:-20}))
  until [ -e "$1" ]; do
    [ $SECONDS -lt $deadline ] || e2e_fail "file $1 did not appear"
    sleep 0.1
  done
}

# wait_for_output NAME TEXT [SECONDS]: until artifacts/NAME.log holds TEXT.
wait_for_output() {
  local deadline=$((SECONDS + ${3:-20}))
  until grep -qF -- "$2" "$E2E_ART/$1.log" 2>/dev/null; do
    [ $SECONDS -lt $deadline ] || e2e_fail "$1 did not print '$2'"
    sleep 0.05
  done
}

e2e_screenshot() {
  import -display "$DISPLAY" -window root "$E2E_ART/$1.png"
}

# Every program already runs in the virtual desktop "shell" (1024x768, with
# taskbar); this waits until its tray takes icons, which it does not at once.
e2e_wait_tray() {
  e2e_drive tray-ready "${1:-30000}" >/dev/null || e2e_fail "the tray did not come up"
}

# Registry of the test prefix (paths under HKEY_CURRENT_USER unless the
# wine reg forms are used directly).
e2e_reg() { "${CW_WINE[@]}" reg "$@" >>"$E2E_ART/reg.log" 2>&1; }
e2e_reg_add_dword() { e2e_reg add "HKCU\\$1" /v "$2" /t REG_DWORD /d "$3" /f; }
e2e_reg_add_string() { e2e_reg add "HKCU\\$1" /v "$2" /t REG_SZ /d "$3" /f; }
e2e_reg_delete() { e2e_reg delete "HKCU\\$1" /f; }
e2e_reg_create() { e2e_drive reg-create "$@" >/dev/null; }
# e2e_reg_set PATH NAME dword:N|sz:TEXT [PATH NAME VALUE]...: one process for all.
e2e_reg_set() { e2e_drive reg-set "$@" >/dev/null; }
e2e_reg_exists() { e2e_drive reg-exists "$1"; }
e2e_reg_dump() { e2e_drive reg-dump "$1"; }

# e2e_assert_readable WHAT TEXT: no characters lost on the way to the
# screen: no "??" runs (characters the code page lacks), and in English
# nothing but ASCII (no accented letters made of Japanese bytes).
e2e_assert_readable() {
  [[ $2 != *'??'* ]] || e2e_fail "$1 has lost characters: $2"
  if [ "$E2E_LANGUAGE" = en ] && LC_ALL=C grep -q '[^ -~]' <<<"$2"; then
    e2e_fail "$1 is not plain ASCII: $2"
  fi
}

# e2e_check_texts WHAT EXPECTED ACTUAL: texts read from the windows, kept in
# texts.txt of the artifacts, readable and as expected.
e2e_check_texts() {
  printf '%s:\n%s\n\n' "$1" "$3" >>"$E2E_ART/texts.txt"
  e2e_assert_readable "$1" "$3"
  e2e_assert_eq "$2" "$3" "$1"
}

# e2e_check_msgbox HWND CAPTION TEXT BUTTONS DEFAULT_ID ICON: compares what
# cwdrive msgbox reads (texts escaped: \r \n) with the expected values.
e2e_check_msgbox() {
  local got
  got=$(e2e_drive msgbox "$1") || e2e_fail "cannot read message box $1"
  printf '%s\n' "$got" >>"$E2E_ART/msgboxes.txt"
  e2e_assert_eq "caption=$2" "$(sed -n 1p <<<"$got")" "message box caption"
  e2e_assert_readable "message box text" "$(sed -n 2p <<<"$got")"
  e2e_assert_eq "text=$3" "$(sed -n 2p <<<"$got")" "message box text"
  e2e_assert_eq "buttons=$4" "$(sed -n 3p <<<"$got")" "message box buttons"
  e2e_assert_eq "default=$5" "$(sed -n 4p <<<"$got")" "message box default button"
  e2e_assert_eq "icon=$6" "$(sed -n 5p <<<"$got")" "message box icon"
}

# chromaweave itself once it is built, otherwise a stand-in holding its mutex.
e2e_main_is_real() { [ "${CW_E2E_MAIN:-}" != holder ] && [ -f "$E2E_MAIN" ]; }

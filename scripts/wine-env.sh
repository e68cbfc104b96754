# Sourced by every script that runs Windows programs under Wine (scripts/run,
# scripts/wine-run, the end-to-end tests) and by scripts/bootstrap: the one
# place that finds Wine's programs and gives them their locale.
#
# Wine's programs are looked up by the names every full Wine installation puts
# on PATH (wine, wineserver, wineboot), never by the names or paths only some
# packagings provide (wine64, /usr/lib/wine/...).
#
# Only the Wine processes run in CW_WINE_LOCALE (default ja_JP.UTF-8): the
# program's texts are Japanese and Wine takes its ANSI code page from the
# locale (932 for Japanese). The scripts' own messages keep the user's locale.
#
# After `cw_wine_setup`:
#   "${CW_WINE[@]}" PROGRAM ARGS...   a Windows program, or a builtin (reg, explorer)
#   "${CW_WINESERVER[@]}" ARGS...     the wineserver of that Wine
#   "${CW_WINEBOOT[@]}" ARGS...       wineboot (makes or updates a prefix)
# They are arrays, not functions, so that `"${CW_WINE[@]}" x.exe &` leaves the
# Wine process itself in $!.

CW_WINE_LOCALE=${CW_WINE_LOCALE:-ja_JP.UTF-8}
CW_WINE_PROGRAMS=(wine wineserver wineboot)

# cw_wine_missing: prints the Wine programs that are not on PATH, one a line.
cw_wine_missing() {
  local p
  for p in "${CW_WINE_PROGRAMS[@]}"; do
    command -v "$p" >/dev/null 2>&1 || printf '%s\n' "$p"
  done
}

# cw_locale_exists NAME: true when the C library has the locale (locale -a
# lists ja_JP.UTF-8 as ja_JP.utf8).
cw_locale_exists() {
  local want=${1,,} have
  want=${want//-/}
  while IFS= read -r have; do
    have=${have,,}
    [ "${have//-/}" = "$want" ] && return 0
  done < <(locale -a 2>/dev/null)
  return 1
}

# cw_wine_setup: fills CW_WINE, CW_WINESERVER and CW_WINEBOOT and exports the
# Wine settings every script shares; fails naming what is missing.
cw_wine_setup() {
  local missing
  missing=$(cw_wine_missing)
  if [ -n "$missing" ]; then
    echo "${0##*/}: Wine is incomplete, missing" $missing "(run scripts/bootstrap)" >&2
    return 1
  fi
  if ! cw_locale_exists "$CW_WINE_LOCALE"; then
    echo "${0##*/}: the locale $CW_WINE_LOCALE is missing (run scripts/bootstrap)" >&2
    return 1
  fi
  local env=(env "LANG=$CW_WINE_LOCALE" "LC_ALL=$CW_WINE_LOCALE")
  CW_WINE=("${env[@]}" "$(command -v wine)")
  CW_WINESERVER=("${env[@]}" "$(command -v wineserver)")
  CW_WINEBOOT=("${env[@]}" "$(command -v wineboot)")
  export WINEDEBUG=${WINEDEBUG:--all}
  export WINEARCH=win64
  # No Mono or Gecko installers: they would open dialogs and wait.
  export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
}

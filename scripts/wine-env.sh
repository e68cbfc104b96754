# Sourced by every script that runs Windows programs under Wine (scripts/run,
# scripts/wine-run, the end-to-end tests) and by scripts/bootstrap: the one
# place that finds Wine's programs and gives them their locale.
#
# Wine's programs are looked up by the names every full Wine installation puts
# on PATH (wine, wineserver, wineboot), never by the names or paths only some
# packagings provide (wine64, /usr/lib/wine/...).
#
# Only the Wine processes run in CW_WINE_LOCALE (default ja_JP.UTF-8); the
# scripts' own messages keep the user's locale. Wine takes the system locale,
# and with it the ANSI code page, from LC_CTYPE (932 for Japanese, 1252 for
# English), and the user interface language and the user and thread locales
# from LC_MESSAGES. The program's interface follows the ANSI code page, so
# CW_WINE_LOCALE=en_US.UTF-8 gives the English interface. Split locales, to
# tell the two apart:
#   CW_WINE_CTYPE      LC_CTYPE of the Wine processes (default CW_WINE_LOCALE)
#   CW_WINE_MESSAGES   LC_MESSAGES of the Wine processes (default CW_WINE_LOCALE)
#
# After `cw_wine_setup`:
#   "${CW_WINE[@]}" PROGRAM ARGS...   a Windows program, or a builtin (reg, explorer)
#   "${CW_WINESERVER[@]}" ARGS...     the wineserver of that Wine
#   "${CW_WINEBOOT[@]}" ARGS...       wineboot (makes or updates a prefix)
# They are arrays, not functions, so that `"${CW_WINE[@]}" x.exe &` leaves the
# Wine process itself in $!.

CW_WINE_LOCALE=${CW_WINE_LOCALE:-ja_JP.UTF-8}
CW_WINE_CTYPE=${CW_WINE_CTYPE:-$CW_WINE_LOCALE}
CW_WINE_MESSAGES=${CW_WINE_MESSAGES:-$CW_WINE_LOCALE}
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

# cw_wine_locales: the locales the Wine processes use, each once.
cw_wine_locales() {
  local seen=' ' locale
  for locale in "$CW_WINE_LOCALE" "$CW_WINE_CTYPE" "$CW_WINE_MESSAGES"; do
    [[ $seen == *" $locale "* ]] && continue
    seen+="$locale "
    printf '%s\n' "$locale"
  done
}

# cw_wine_language: "ja" when the Wine processes have the Japanese ANSI code
# page (the program then speaks Japanese), otherwise "en".
cw_wine_language() {
  case $CW_WINE_CTYPE in ja_JP*) echo ja ;; *) echo en ;; esac
}

# cw_wine_map_fonts: in the prefix of WINEPREFIX, maps the fonts the
# program's dialogs and message boxes ask for to installed fonts that show
# the interface's language: the IPA fonts for Japanese, DejaVu Sans (a Latin
# font) for English.
cw_wine_map_fonts() {
  local font key='HKCU\Software\Wine\Fonts\Replacements'
  if [ "$(cw_wine_language)" = ja ]; then
    for font in 'ＭＳ Ｐゴシック' 'MS Shell Dlg' 'MS Shell Dlg 2' 'MS UI Gothic'; do
      "${CW_WINE[@]}" reg add "$key" /v "$font" /t REG_SZ /d IPAPGothic /f >/dev/null 2>&1
    done
    "${CW_WINE[@]}" reg add "$key" /v 'ＭＳ ゴシック' /t REG_SZ /d IPAGothic /f >/dev/null 2>&1
  else
    for font in 'MS Shell Dlg' 'MS Shell Dlg 2' 'Tahoma' 'MS Sans Serif'; do
      "${CW_WINE[@]}" reg add "$key" /v "$font" /t REG_SZ /d 'DejaVu Sans' /f >/dev/null 2>&1
    done
  fi
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
  local locale
  for locale in $(cw_wine_locales); do
    if ! cw_locale_exists "$locale"; then
      echo "${0##*/}: the locale $locale is missing (run scripts/bootstrap)" >&2
      return 1
    fi
  done
  # Every other category falls back to LANG; none of the user's own LC_*
  # settings reaches Wine.
  local env=(env -u LC_ALL -u LANGUAGE) category
  for category in NUMERIC TIME COLLATE MONETARY PAPER NAME ADDRESS TELEPHONE MEASUREMENT \
    IDENTIFICATION; do
    env+=(-u "LC_$category")
  done
  env+=("LANG=$CW_WINE_LOCALE" "LC_CTYPE=$CW_WINE_CTYPE" "LC_MESSAGES=$CW_WINE_MESSAGES")
  CW_WINE=("${env[@]}" "$(command -v wine)")
  CW_WINESERVER=("${env[@]}" "$(command -v wineserver)")
  CW_WINEBOOT=("${env[@]}" "$(command -v wineboot)")
  export WINEDEBUG=${WINEDEBUG:--all}
  export WINEARCH=win64
  # No Mono or Gecko installers: they would open dialogs and wait.
  export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
}

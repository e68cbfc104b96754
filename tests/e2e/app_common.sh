# What the chromaweave (tray program) tests share: its window class and
# texts as the user sees them (UTF-8, CR LF written as \r\n), stored
# settings, the tray menu, and files seen from Linux.
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

MAIN_CLASS='chromaweave main window'
DIALOG='#32770'
SETTINGS_TITLE='chromaweave 設定'
ABOUT_TITLE='バージョン情報'
ERROR_CAPTION='chromaweave エラー'
TEXT_BAD_SIZE='画像の大きさが正しくありません。'
TEXT_BAD_INTERVAL='変更間隔が正しくありません。'
TEXT_CREATE_FOLDER='壁紙の保存先のフォルダが存在しません。\r\n新しく作成しますか?'
CAPTION_CREATE_FOLDER='フォルダ作成の確認'
TEXT_FOLDER_TOO_LONG='保存先のフォルダのパスが長すぎます。'
TEXT_FOLDER_NOT_CREATED='フォルダが作成できません。'
TEXT_NOT_SAVED='壁紙が保存できません。\r\n壁紙ファイルのパスが正しいか確認してください。'
SAVE_TITLE='名前を付けて保存'
SETTINGS_KEY='Software\kelpworks\chromaweave'
DESKTOP_KEY='Control Panel\Desktop'

app_setup() {
  e2e_setup "$1"
  [ -f "$E2E_MAIN" ] || e2e_fail "missing $E2E_MAIN (build the mingw preset)"
}

# A Windows path on drive C: as a Linux path in the test prefix.
linux_path() {
  local p=${1#[Cc]:}
  printf '%s\n' "$WINEPREFIX/drive_c${p//\\//}"
}

# app_store_settings FOLDER INTERVAL_MS UNIT [NAME dword:N|sz:TEXT]...: a
# settings key, so that the program does not start with its first run.
app_store_settings() {
  local folder=$1 interval=$2 unit=$3
  shift 3
  local extra=() name
  while [ $# -ge 2 ]; do
    extra+=("$SETTINGS_KEY" "$1" "$2")
    shift 2
  done
  e2e_reg_set "$SETTINGS_KEY" WallpaperDir "sz:$folder" "$SETTINGS_KEY" Interval "dword:$interval" \
    "$SETTINGS_KEY" IntervalUnit "dword:$unit" "$SETTINGS_KEY" NoActiveDesktop dword:1 "${extra[@]}"
}

# Starts chromaweave and waits for its hidden main window.
app_start() {
  e2e_start chromaweave "$E2E_MAIN"
  wait_for_window "$MAIN_CLASS" - >/dev/null || e2e_fail "chromaweave did not start"
}

# Waits for chromaweave to end by itself; checks its exit code 0.
app_expect_exit() {
  wait_for_exit chromaweave "${1:-30}"
  e2e_assert_eq 0 "$E2E_EXIT_CODE" "exit code of chromaweave"
}

app_command() { e2e_drive command "$MAIN_CLASS" "$1" >/dev/null; }

settings_dialog() { wait_for_window "$DIALOG" "$SETTINGS_TITLE" "${1:-20000}"; }

# The save dialog of command 102 and its file name field (a combo box or an
# edit, depending on the dialog's version).
save_dialog() { wait_for_window "$DIALOG" "$SAVE_TITLE" "${1:-20000}"; }
save_as_name() {
  e2e_drive set-text "$1" 1148 "$2" >/dev/null || e2e_drive set-text "$1" 1152 "$2" >/dev/null ||
    e2e_fail "no file name field in the save dialog"
}

# app_menu KEY [SHOT]: opens the tray menu with a right click on the icon,
# optionally takes a screenshot of it, and chooses an item by its access key
# (a letter). The menu's loop reads the keys posted to its window. A menu
# that closed before the key arrived (a wallpaper change while it opens can
# cancel it under Wine) is opened again.
app_menu() {
  local menu attempt
  for attempt in 1 2 3; do
    e2e_drive tray-click "$MAIN_CLASS" RIGHT >/dev/null
    menu=$(wait_for_window '#32768' - 10000) || e2e_fail "the tray menu did not open"
    [ -z "${2:-}" ] || e2e_screenshot "$2"
    if e2e_drive menu-key "$menu" "$(printf '%d' "'${1^^}")" >/dev/null; then
      wait_for_gone "$menu" 10000 || e2e_fail "the tray menu did not close"
      return 0
    fi
    wait_for_gone "$menu" 10000 || true
  done
  e2e_fail "the tray menu closed before an item could be chosen"
}

# The wallpaper the desktop shows (SPI_GETDESKWALLPAPER). Asked of a new
# process each time: Wine keeps system parameters cached in each process.
desktop_wallpaper() { "$E2E_WINE" "$E2E_DRIVER" get-wallpaper 2>/dev/null | tr -d '\r'; }

# file_sum PATH: a checksum of the file, or "none".
file_sum() { [ -f "$1" ] && md5sum <"$1" | cut -d' ' -f1 || echo none; }

# wait_for_new_file PATH OLD_SUM [SECONDS]: until the file exists with other
# contents than OLD_SUM.
wait_for_new_file() {
  local deadline=$((SECONDS + ${3:-30}))
  while [ "$(file_sum "$1")" = "$2" ]; do
    [ $SECONDS -lt $deadline ] || e2e_fail "$1 did not change"
    sleep 0.1
  done
  # The writer may still be at work: wait until the size holds still.
  local size=-1
  while [ "$(stat -c %s "$1")" != "$size" ]; do
    size=$(stat -c %s "$1")
    sleep 0.2
  done
}

# bmp_size PATH: "WIDTHxHEIGHT" from a BMP file's header (little-endian
# 32-bit width and height at byte 18; a negative height means top-down rows).
bmp_size() {
  [ "$(head -c2 "$1")" = BM ] || e2e_fail "$1 is not a BMP file"
  local w h
  read -r w h < <(od -An -t d4 --endian=little -j 18 -N 8 "$1")
  printf '%dx%d\n' "$w" "${h#-}"
}

# The value a registry dump line shows for NAME ("dword:N" or quoted text).
reg_value() { e2e_reg_dump "$1" | sed -n "s/^$2=//p" | head -n1; }

# tray_shows ICON_PNG: true when the taskbar's picture holds that icon.
tray_shows() {
  local tray shot=$E2E_DIR/tray.png
  tray=$(wait_for_window Shell_TrayWnd - 5000) || return 1
  e2e_drive redraw "$tray" >/dev/null
  set -- "$1" $(e2e_drive rect "$tray")
  import -display "$DISPLAY" -window root -crop "$(($4 - $2))x$(($5 - $3))+$2+$3" +repage "$shot"
  # An exact match of the icon's opaque middle somewhere in the taskbar.
  local result
  result=$(compare -metric AE -subimage-search "$shot" "$1" null: 2>&1 >/dev/null || true)
  [ "${result%% *}" = 0 ]
}

# wait_tray_shows ICON_PNG WHAT: until the taskbar shows that icon.
wait_tray_shows() {
  local deadline=$((SECONDS + 10))
  until tray_shows "$1"; do
    [ $SECONDS -lt $deadline ] || e2e_fail "the tray does not show the $2"
    sleep 0.2
  done
}

# The opaque middle (10 x 10) of a 16 x 16 icon image, as the tray draws it.
icon_middle() {
  convert "$E2E_ROOT/app/resources/$1[0]" -crop 10x10+3+3 +repage -alpha off "$E2E_DIR/$2.png"
  printf '%s\n' "$E2E_DIR/$2.png"
}

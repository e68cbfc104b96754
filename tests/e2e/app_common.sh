# What the chromaweave (tray program) tests share: its window class and
# texts as the user sees them (UTF-8, CR LF written as \r\n) in the language
# of the test's code page, stored settings, the tray menu, and files seen
# from Linux.
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

MAIN_CLASS='chromaweave main window'
DIALOG='#32770'
# The version line of the About dialog, as the resource script has it.
ABOUT_VERSION=$(grep -o 'chromaweave ver\.[0-9.]*[0-9]' "$E2E_ROOT/app/resources/chromaweave.rc")
if [ "$E2E_LANGUAGE" = ja ]; then
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
  TEXT_RECIPE_DAMAGED='レシピが壊れています(文字が変わったか、欠けたか、増えています)。\r\nもう一度レシピ全体をコピーしてください。'
  TEXT_NOT_A_RECIPE='クリップボードの文字は chromaweave のレシピではありません。\r\nレシピは「cw1-」で始まる一行の文字です。'
  # The dialogs' labels in tab order (cwdrive labels), the unit names and
  # the tray menu (cwdrive menu-items without the states).
  SETTINGS_LABELS='1=OK
2=キャンセル
65535=画像の大きさ
200=リストから選ぶ(&L)
201=指定する(&S)
203=幅(&W):
206=高さ(&H):
65535=変更間隔(&I):
65535=壁紙ファイルの保存先フォルダ(&F):
213=...
214=壁紙ファイルに連番を付けて保存する(&N)
215=終了時に壁紙を元に戻す(&R)
216=終了時に壁紙ファイルを削除する(&D)
217=上書き保存時に確認を取る(&O)
218=Active Desktop を検出しない(&A)'
  UNIT_NAMES=$'秒\n分\n時間'
  ABOUT_LABELS="1=OK
65535=$ABOUT_VERSION\\nタイル壁紙を織り続けるソフト
200=https://kelpworks.example.jp/chromaweave/
65535=壁紙変更回数:"
  MENU_ITEMS='100 設定(&O)...
- separator
101 壁紙を保存(&S)
102 名前を付けて壁紙を保存(&A)...
103 壁紙を変更(&C)
- separator
110 前の壁紙に戻す(&B)
111 履歴(&H)
112 レシピをコピー(&R)
113 レシピから壁紙を作る(&I)
114 画面サイズで保存(&E)...
- separator
104 壁紙変更の停止(&P)
- separator
105 バージョン情報(&A)...
- separator
106 終了(&X)'
else
  SETTINGS_TITLE='chromaweave Settings'
  ABOUT_TITLE='About chromaweave'
  ERROR_CAPTION='chromaweave Error'
  TEXT_BAD_SIZE='The picture size is not valid.'
  TEXT_BAD_INTERVAL='The change interval is not valid.'
  TEXT_CREATE_FOLDER='The wallpaper folder does not exist.\r\nDo you want to create it?'
  CAPTION_CREATE_FOLDER='Confirm Folder Creation'
  TEXT_FOLDER_TOO_LONG='The folder path is too long.'
  TEXT_FOLDER_NOT_CREATED='The folder cannot be created.'
  TEXT_NOT_SAVED='The wallpaper cannot be saved.\r\nPlease check that the wallpaper file path is correct.'
  TEXT_RECIPE_DAMAGED='The recipe is damaged (characters were changed, lost or added).\r\nPlease copy the whole recipe again.'
  TEXT_NOT_A_RECIPE='The text in the clipboard is not a chromaweave recipe.\r\nA recipe is one line of text that starts with cw1-.'
  SETTINGS_LABELS='1=OK
2=Cancel
65535=Picture size
200=Choose from the &list
201=&Specify
203=&Width:
206=&Height:
65535=Change &interval:
65535=&Folder for the wallpaper files:
213=...
214=&Number the wallpaper files
215=&Restore the wallpaper on exit
216=&Delete the wallpaper file on exit
217=C&onfirm before overwriting
218=Do not detect &Active Desktop'
  UNIT_NAMES=$'seconds\nminutes\nhours'
  ABOUT_LABELS="1=OK
65535=$ABOUT_VERSION\\nKeeps weaving tiled wallpapers
200=https://kelpworks.example.jp/chromaweave/
65535=Wallpaper changes:"
  MENU_ITEMS='100 Se&ttings...
- separator
101 &Save Wallpaper
102 Save Wallpaper &As...
103 &Change Wallpaper
- separator
110 &Back to the Previous Wallpaper
111 &History
112 Copy the &Recipe
113 Wallpaper from the Recipe &in the Clipboard
114 Save at Scr&een Size...
- separator
104 Sto&p Changing Wallpaper
- separator
105 &About...
- separator
106 E&xit'
fi
# Wine's own save dialog, in Wine's Japanese.
SAVE_TITLE='名前を付けて保存'
SETTINGS_KEY='Software\kelpworks\chromaweave'
HISTORY_KEY='Software\kelpworks\chromaweave\History'
E2E_LAB=$E2E_BUILD/tools/chromaweave_lab.exe
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

# app_check_dialog HWND settings|about: the dialog's labels (and the unit
# names of the settings) as the interface language has them. The About
# dialog's count (control 201) changes with the wallpaper and is left out.
app_check_dialog() {
  local got
  got=$(e2e_drive labels "$1") || e2e_fail "cannot read the $2 dialog"
  if [ "$2" = settings ]; then
    e2e_check_texts "labels of the settings dialog" "$SETTINGS_LABELS" "$got"
    e2e_check_texts "unit names" "$UNIT_NAMES" "$(e2e_drive combo-items "$1" 211)"
  else
    e2e_check_texts "labels of the About dialog" "$ABOUT_LABELS" "$(grep -v '^201=' <<<"$got")"
  fi
}

# app_check_menu MENU: the texts of the open tray menu (read inside the
# program's process by cwdrive's hook) as the interface language has them.
app_check_menu() {
  local got
  got=$(e2e_drive menu-items "$1") || e2e_fail "cannot read the tray menu"
  e2e_check_texts "tray menu" "$MENU_ITEMS" "$(sed 's/^\([0-9]*\) [a-z,]* /\1 /' <<<"$got")"
}

# The save dialog of command 102 and its file name field (a combo box or an
# edit, depending on the dialog's version).
save_dialog() { wait_for_window "$DIALOG" "$SAVE_TITLE" "${1:-20000}"; }
save_as_name() {
  e2e_drive set-text "$1" 1148 "$2" >/dev/null || e2e_drive set-text "$1" 1152 "$2" >/dev/null ||
    e2e_fail "no file name field in the save dialog"
}

# app_menu KEY [SHOT]: opens the tray menu with a right click on the icon,
# optionally takes a screenshot of it and checks its texts, and chooses an
# item by its access key (a letter). The menu's loop reads the keys posted to its window. A menu
# that closed before the key arrived (a wallpaper change while it opens can
# cancel it under Wine) is opened again.
app_menu() {
  local menu attempt
  for attempt in 1 2 3; do
    e2e_drive tray-click "$MAIN_CLASS" RIGHT >/dev/null
    menu=$(wait_for_window '#32768' - 10000) || e2e_fail "the tray menu did not open"
    if [ -n "${2:-}" ]; then
      e2e_screenshot "$2"
      app_check_menu "$menu"
    fi
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

# app_history_menu [SHOT]: opens the tray menu, prints the history
# submenu's items (cwdrive menu-items: "ID STATE TIME", STATE with the
# entry's serial as data=N and its bitmap's first pixels as bitmap=...),
# with SHOT opens the submenu (its access key) for a screenshot, and closes
# the menus (EndMenu in the program: Wine's menu loop may lose a posted
# Escape that comes while a submenu opens).
app_history_menu() {
  local menu items
  e2e_drive tray-click "$MAIN_CLASS" RIGHT >/dev/null
  menu=$(wait_for_window '#32768' - 10000) || e2e_fail "the tray menu did not open"
  items=$(e2e_drive menu-items "$menu" 111) || e2e_fail "the history submenu could not be read"
  if [ -n "${1:-}" ]; then
    e2e_drive menu-key "$menu" "$(printf '%d' "'H")" >/dev/null
    e2e_drive wait-submenu "$menu" 10000 >/dev/null || e2e_fail "the history submenu did not open"
    e2e_screenshot "$1"
  fi
  e2e_drive menu-end "$menu" >/dev/null || e2e_fail "the tray menu did not close"
  printf '%s\n' "$items"
}

# The state of one item of the open tray menu, by its id ("enabled", "grayed").
menu_item_state() { e2e_drive menu-items "$1" | awk -v id="$2" '$1 == id { split($2, s, ","); print s[1] }'; }

# history_serials ITEMS: the entries' serials (data=N) in menu order.
history_serials() { sed -n 's/.*,data=\([0-9]*\).*/\1/p' <<<"$1" | tr '\n' ' ' | sed 's/ $//'; }

# history_thumbnails_ready ITEMS: no entry shows the placeholder (a gray
# square, 808080 at its corner and c8c8c8 inside) any more.
history_thumbnails_ready() { ! grep -q 'bitmap=808080-c8c8c8' <<<"$1"; }

# lab_render RECIPE WINDOWS_PATH: chromaweave_lab.exe renders the recipe to a BMP file.
lab_render() { "$E2E_WINE" "$E2E_LAB" render "$1" --out "$2" >>"$E2E_ART/lab.log" 2>&1; }

#!/usr/bin/env bash
# The release archive as a Windows user meets it: made by scripts/dist from
# the built programs, named after the About dialog's version and the commit,
# holding the three programs and the two guides; unpacked into C:\chromaweave,
# each program starts from there.
source "$(dirname "$0")/purge_common.sh"
e2e_setup test_dist_archive
[ -f "$E2E_MAIN" ] || e2e_fail "missing $E2E_MAIN (build the mingw preset)"

CW_DIST_BUILD=$E2E_BUILD CW_DIST_OUT=$E2E_DIR/dist "$E2E_ROOT/scripts/dist" >"$E2E_ART/dist.log" 2>&1 ||
  e2e_fail "scripts/dist failed (see dist.log)"
zip=$(tail -n1 "$E2E_ART/dist.log")
version=$(grep -o 'chromaweave ver\.[0-9.]*[0-9]' "$E2E_ROOT/app/resources/chromaweave.rc")
version=${version#chromaweave ver.}
[[ ${zip##*/} =~ ^chromaweave-${version//./\\.}-[0-9a-f]{7,}(-dirty)?-win64\.zip$ ]] ||
  e2e_fail "archive name ${zip##*/} lacks version $version and commit"
e2e_assert_eq "README-en.txt README-ja.txt chromaweave.exe chromaweave_lab.exe chromaweave_purge.exe" \
  "$(unzip -Z1 "$zip" | sort | tr '\n' ' ' | sed 's/ $//')" "files in the archive"

folder=$WINEPREFIX/drive_c/chromaweave
unzip -q "$zip" -d "$folder"
# The guides as Notepad reads them: CR LF everywhere, the Japanese one UTF-8
# with a byte-order mark.
for guide in README-en.txt README-ja.txt; do
  [ "$(tail -c2 "$folder/$guide" | od -An -tx1 | tr -d ' ')" = 0d0a ] || e2e_fail "$guide: no CR LF at the end"
  ! grep -q $'[^\r]$' "$folder/$guide" || e2e_fail "$guide has lines without CR LF"
  grep -q "chromaweave $version " "$folder/$guide" || e2e_fail "$guide does not name version $version"
  grep -qF 'HKEY_CURRENT_USER\Software\kelpworks\chromaweave' "$folder/$guide" ||
    e2e_fail "$guide does not name the settings key"
done
e2e_assert_eq efbbbf "$(head -c3 "$folder/README-ja.txt" | od -An -tx1 | tr -d ' ')" "README-ja.txt byte-order mark"

e2e_assert_eq "chromaweave_lab $version" "$(e2e_wine 'C:\chromaweave\chromaweave_lab.exe' --version | tr -d '\r')" \
  "chromaweave_lab --version"

e2e_start purge 'C:\chromaweave\chromaweave_purge.exe'
box=$(wait_for_window "$BOX" "$PURGE_CAPTION") || e2e_fail "no message box from chromaweave_purge"
e2e_check_msgbox "$box" "$PURGE_CAPTION" "$PURGE_NO_SETTINGS" OK 1 information
e2e_press "$box" 1
purge_expect_end

# A first start: the settings dialog; cancelling it ends the program.
e2e_start chromaweave 'C:\chromaweave\chromaweave.exe'
dialog=$(wait_for_window '#32770' 'chromaweave 設定' 30000) || e2e_fail "chromaweave showed no settings dialog"
e2e_drive redraw "$dialog" >/dev/null
e2e_screenshot settings_dialog
e2e_press "$dialog" 2
wait_for_exit chromaweave 30
e2e_assert_eq 0 "$E2E_EXIT_CODE" "exit code of chromaweave"
